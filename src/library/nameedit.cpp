#include "library/nameedit.h"

#include "base/messagecatalogue.h"
#include "base/textfold.h"
#include "data/adoconnector.h"

#include <QHash>
#include <QSet>

#include <optional>

namespace library {

namespace {

// The row that stands for "no genre" or "no artist"; never edited here.
const QString kNoName = QStringLiteral("指定無し");
const int kUpdateFailed = 16;

const NameListInfo kGenres{10, 13, QStringLiteral("ジャンル名"), 27, 25, 20, 50, 52};
const NameListInfo kArtists{30, 18, QStringLiteral("アーティスト名"), 28, 49, 19, 51, 48};

// The IDs of every row the database takes for `name` (it ignores case).
bool idsOf(const NameListInfo& info, const QString& name, QList<qint64>& ids) {
    Recordset rs;
    if (!gConnector->adoGetData(info.lookupKind, rs, name))
        return false;
    for (; !rs.Eof(); rs.MoveNext())
        ids << rs.Field(QStringLiteral("ID")).toLongLong();
    return true;
}

// The ID of `name`, inserted when no row has it yet: a name that matches a
// row already there (one not shown, or "指定無し") uses that row rather
// than adding a second one that lookups could not tell apart.
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

// Deletes the names `from` and moves their songs to `target`. The rows of
// `from` are gone before `target` is looked up, so a respelled name gets a
// row of its own instead of finding its old one.
bool move(const NameListInfo& info, const QStringList& from, const QString& target) {
    QList<qint64> oldIds;
    for (const QString& name : from) {
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
    for (const NameEditPlan::Rename& rename : plan.renames) {
        if (!move(info_, rename.from, rename.name))
            return false;
    }
    for (qsizetype i = 0; i < plan.removed.size(); ++i) {
        if (!move(info_, plan.removed[i], targets.value(i)))
            return false;
    }
    return transaction.commit();
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
        ShowMessage(kUpdateFailed, 0);
        return false;
    }
    return true;
}

} // namespace library
