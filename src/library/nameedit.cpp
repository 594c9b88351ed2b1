#include "library/nameedit.h"

#include "base/messagecatalogue.h"
#include "base/textfold.h"
#include "data/adoconnector.h"
#include "setlists/setlistsave.h"

#include <QHash>
#include <QSet>

#include <optional>

namespace library {

namespace {

// The row that stands for "no genre" or "no artist"; never edited here.
const QString kNoName = QStringLiteral("指定無し");

const NameListInfo kGenres{10,
                           Read::Genres,
                           QStringLiteral("ジャンル名"),
                           Msg::NeedGenre,
                           Write::AddGenre,
                           Read::GenreId,
                           Write::RelinkGenre,
                           Write::DeleteGenre};
const NameListInfo kArtists{30,
                            Read::Artists,
                            QStringLiteral("アーティスト名"),
                            Msg::NeedArtist,
                            Write::AddArtist,
                            Read::ArtistId,
                            Write::RelinkArtist,
                            Write::DeleteArtist};

// The IDs of every row the database takes for `name` (it ignores case).
bool idsOf(const NameListInfo& info, const QString& name, QList<qint64>& ids) {
    Recordset rs;
    if (!gConnector->adoGetData(info.lookupKind, rs, name))
        return false;
    for (; !rs.Eof(); rs.MoveNext())
        ids << rs.Field(QStringLiteral("ID")).toLongLong();
    return true;
}

// Where each name moved by an edit went, by its folded spelling.
using Moves = QHash<QString, QString>;

// The ID of `name`, inserted when no row has it yet: "指定無し" typed into
// a box is the row already there.
std::optional<qint64> ensure(const NameListInfo& info, const QString& name) {
    QList<qint64> ids;
    if (!idsOf(info, name, ids))
        return std::nullopt;
    if (ids.isEmpty() &&
        (!gConnector->adoSetData(info.insertKind, {name}) || !idsOf(info, name, ids)))
        return std::nullopt;
    if (ids.isEmpty())
        return std::nullopt;
    return ids.first();
}

// Other stored spellings of `target`: names that differ from it only in
// case or width.
bool otherSpellings(const NameListInfo& info, const QString& target, QStringList& out) {
    Recordset rs;
    if (!gConnector->adoGetData(info.readKind, rs))
        return false;
    const QString key = text::fold(target);
    for (; !rs.Eof(); rs.MoveNext()) {
        const QString name = rs.text(info.column);
        if (name != target && name != kNoName && text::fold(name) == key && !out.contains(name))
            out << name;
    }
    return true;
}

// Deletes the names `from` and moves their songs to `target`. The rows of
// `from` are gone before `target` is looked up, so a respelled name gets a
// row of its own instead of finding its old one. The typed spelling wins
// over another spelling of it: that row goes the same way, so no second
// row of one name is made.
bool move(const NameListInfo& info, QStringList from, const QString& target, Moves& moves) {
    if (text::fold(target) != text::fold(kNoName) && !otherSpellings(info, target, from))
        return false;
    QList<qint64> oldIds;
    for (const QString& name : from) {
        moves.insert(text::fold(name), target);
        if (!idsOf(info, name, oldIds) || !gConnector->adoSetData(info.deleteKind, {name}))
            return false;
    }
    const std::optional<qint64> id = ensure(info, target);
    if (!id)
        return false;
    for (qint64 old : oldIds) {
        if (!gConnector->adoSetData(info.relinkKind, {QString::number(*id), QString::number(old)}))
            return false;
    }
    return true;
}

// Set lists whose conditions name a moved name are rewritten to name where
// it went, so they still select the same songs.
bool rewriteSetLists(const NameListInfo& info, const Moves& moves) {
    const setlists::Kind kind = &info == &kGenres ? setlists::Kind::Genre : setlists::Kind::Artist;
    Recordset lists;
    if (!gConnector->adoGetData(Read::SetLists, lists))
        return false;
    QStringList names;
    for (; !lists.Eof(); lists.MoveNext())
        names << lists.text(QStringLiteral("セットリスト名"));
    for (const QString& name : names) {
        Recordset stored;
        if (!gConnector->adoGetData(Read::SetListConditions, stored, name))
            return false;
        if (stored.Eof())
            continue;
        setlists::Conditions rows = setlists::fromStoredRow(stored);
        bool changed = false;
        for (setlists::Condition& row : rows) {
            const auto to = moves.constFind(text::fold(row.value));
            if (row.kind == kind && to != moves.constEnd() && *to != row.value) {
                row.value = *to;
                changed = true;
            }
        }
        QString error;
        if (changed && !setlists::rewriteConditions(name, rows, error)) {
            if (!error.isEmpty())
                qWarning("%s", qUtf8Printable(error));
            return false;
        }
    }
    return true;
}

} // namespace

const NameListInfo& nameListInfo(NameKind kind) {
    return kind == NameKind::Genre ? kGenres : kArtists;
}

NameListEdit::NameListEdit(NameKind kind) : info_(nameListInfo(kind)) {}

bool NameListEdit::load() {
    oldNames_.clear();
    Recordset rs;
    if (!gConnector->adoGetData(info_.readKind, rs))
        return false;
    for (; !rs.Eof(); rs.MoveNext()) {
        const QString name = rs.text(info_.column);
        if (name != kNoName)
            oldNames_ << name;
    }
    return true;
}

NameEditPlan NameListEdit::plan(const QStringList& oldNames, const QStringList& boxes) {
    QStringList typed;
    for (const QString& box : boxes) {
        const QString name = box.trimmed();
        if (!name.isEmpty())
            typed << name;
    }
    QHash<QString, QStringList> oldByKey;
    for (const QString& name : oldNames) {
        QStringList& spellings = oldByKey[text::fold(name)];
        if (!spellings.contains(name))
            spellings << name;
    }

    NameEditPlan plan;
    QSet<QString> kept;
    for (const QString& name : typed) {
        const QString key = text::fold(name);
        if (kept.contains(key))
            continue; // typed twice: one name
        kept.insert(key);
        const QStringList from = oldByKey.value(key);
        if (from.size() == 1 && typed.contains(from.first())) {
            plan.names << from.first(); // unchanged, whatever else was typed like it
            continue;
        }
        plan.names << name;
        plan.renames.append({from, name});
    }
    for (const QString& name : oldNames) {
        const QString key = text::fold(name);
        if (!kept.contains(key)) {
            kept.insert(key);
            plan.removed << oldByKey.value(key);
        }
    }
    return plan;
}

bool NameListEdit::apply(const NameEditPlan& plan, const QStringList& targets) const {
    if (!plan.changes())
        return true;
    // A target must be one of the standing names, or songs would go to a
    // name made up here.
    if (targets.size() != plan.removed.size())
        return false;
    for (const QString& target : targets) {
        if (!plan.names.contains(target))
            return false;
    }
    ADO_Connector::BulkWrite transaction(*gConnector);
    Moves moves;
    for (const NameEditPlan::Rename& rename : plan.renames) {
        if (!move(info_, rename.from, rename.name, moves))
            return false;
    }
    for (qsizetype i = 0; i < plan.removed.size(); ++i) {
        if (!move(info_, plan.removed[i], targets.value(i), moves))
            return false;
    }
    return rewriteSetLists(info_, moves) && transaction.commit();
}

bool NameListEdit::update(const QStringList& boxes, const AskTarget& ask) {
    const NameEditPlan edit = plan(oldNames_, boxes);
    if (edit.names.isEmpty()) {
        ShowMessage(info_.emptyMessage, 0);
        return false;
    }
    // Every question first: nothing is written until all are answered.
    QStringList targets;
    for (const QStringList& removed : edit.removed)
        targets << edit.names.value(ask(removed.first(), edit.names), edit.names.first());
    if (!apply(edit, targets)) {
        ShowMessage(Msg::CategoryUpdateFailed, 0);
        return false;
    }
    return true;
}

} // namespace library
