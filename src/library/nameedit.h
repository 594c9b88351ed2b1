#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Editing the genre or artist names as a list of boxes: which names are
// new, which were respelled and which went away, and the database work
// that follows, all or nothing. The genre and artist editors share it.
namespace library {

enum class NameKind { Genre, Artist };

// The fixed facts of one kind of name list.
struct NameListInfo {
    int boxes;        // boxes shown at least; every name is shown
    int readKind;     // the whole table
    QString column;   // the name column of that table
    int emptyMessage; // every box empty
    int insertKind;
    int lookupKind; // IDs by name
    int relinkKind; // songs from one ID (p1) to another (p0)
    int deleteKind; // by name
};
const NameListInfo& nameListInfo(NameKind kind);

// What the boxes mean against the names shown at load. Names that differ
// only in case or width are one name: the database matches names ignoring
// case, so two such rows would make lookups by name ambiguous. Each such
// group ends as one row, and respelling a name moves its songs unasked.
struct NameEditPlan {
    // A group whose songs move to `name` without asking: a new name (no old
    // spellings) or a respelled one ("rock" to "Rock").
    struct Rename {
        QStringList from;
        QString name;
    };
    // The names standing after the edit, once each, in box order; empty
    // when every box is empty. These are the re-link choices.
    QStringList names;
    QList<Rename> renames;
    // Old names (with any other spellings of their group) that no box
    // keeps, in the order shown; each needs a re-link choice.
    QList<QStringList> removed;

    bool changes() const { return !renames.isEmpty() || !removed.isEmpty(); }
};

class NameListEdit {
public:
    explicit NameListEdit(NameKind kind);

    const NameListInfo& info() const { return info_; }

    // Reads the names to show: the table in its order without "指定無し".
    // False when the read failed.
    bool load();
    const QStringList& oldNames() const { return oldNames_; }
    bool loaded() const { return !oldNames_.isEmpty(); }

    // The decisions for the boxes' texts (trimmed here), without touching
    // the database.
    static NameEditPlan plan(const QStringList& oldNames, const QStringList& boxes);

    // Carries out `plan`, moving the songs of removed[i] to targets[i], in
    // one transaction: afterwards every song points at an existing name.
    // False, with nothing changed, when a read or write failed (the
    // connector has shown why).
    bool apply(const NameEditPlan& plan, const QStringList& targets) const;

    // Answers, for a removed name, the position in `names` of the name that
    // takes its songs.
    using AskTarget = std::function<int(const QString& removed, const QStringList& names)>;

    // The editor's OK: refuses all-empty boxes with the kind's message,
    // asks every re-link question, then applies the edit; a failed write
    // is reported with message 16. True when the edit is done.
    bool update(const QStringList& boxes, const AskTarget& ask);

private:
    const NameListInfo& info_;
    QStringList oldNames_;
};

} // namespace library
