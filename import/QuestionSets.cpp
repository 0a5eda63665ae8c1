#include "import/QuestionSets.h"

#include "core/RunTimeError.h"
#include "db/Database.h"
#include "db/QuestionSchema.h"
#include "db/Statement.h"

#include <QFileInfo>

namespace QuestionSets {
namespace {
const QString BuiltIn = QStringLiteral("Built-in questions");
}

QList<Set> List(Database &db)
{
    Statement q(db.handle(), QStringLiteral("SELECT %1 AS name, count(*), min(rowid) FROM %2 GROUP BY name"
                                            " ORDER BY name <> '', min(rowid)")
                                 .arg(QuestionSchema::SetExpression(db), QuestionSchema::TableName()));
    QList<Set> sets;
    while (q.step())
        sets << Set{q.value(0).toString(), q.int64(1)};
    return sets;
}

QString DisplayName(const QString &name) { return name.isEmpty() ? BuiltIn : name; }

QString StoredName(const QString &displayName)
{
    const QString name = Tidy(displayName);
    return name.compare(BuiltIn, Qt::CaseInsensitive) == 0 ? QString() : name;
}

QString Tidy(const QString &name) { return name.simplified(); }

QString NameProblem(const QString &name)
{
    const QString tidy = Tidy(name);
    if (tidy.isEmpty())
        return QStringLiteral("The question set needs a name.");
    if (tidy.size() > MaxNameLength)
        return QStringLiteral("The name of a question set can have at most %1 characters.").arg(MaxNameLength);
    if (std::any_of(tidy.cbegin(), tidy.cend(), [](QChar c) { return c.category() == QChar::Other_Control; }))
        return QStringLiteral("The name of a question set cannot hold control characters.");
    if (StoredName(tidy).isEmpty())
        return QStringLiteral("The name '%1' belongs to the questions that come with Quillory.").arg(BuiltIn);
    return {};
}

QString NameForFile(const QString &path)
{
    QString name = Tidy(QFileInfo(path).completeBaseName());
    name.truncate(MaxNameLength);
    name = Tidy(name);
    return NameProblem(name).isEmpty() ? name : QStringLiteral("Imported questions");
}

qint64 Remove(Database &db, const QString &name)
{
    if (name.isEmpty())
        throw RunTimeError(Err::InvalidCall, QStringLiteral("The questions that come with Quillory cannot be removed."));
    Transaction transaction(db);
    QuestionSchema::Upgrade(db);
    Statement remove(db.handle(), QStringLiteral("DELETE FROM %1 WHERE %2 = ?1").arg(QuestionSchema::TableName(),
                                                                                      QuestionSchema::SetColumnName()));
    remove.bind(1, name);
    remove.step();
    Statement changes(db.handle(), QStringLiteral("SELECT changes()"));
    const qint64 removed = changes.step() ? changes.int64(0) : 0;
    transaction.commit();
    return removed;
}
}
