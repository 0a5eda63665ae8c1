#include "db/QuestionSchema.h"

#include "db/Database.h"
#include "db/Statement.h"

namespace QuestionSchema {
namespace {
bool isTable(Database &db)
{
    Statement q(db.handle(), QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE"));
    q.bind(1, TableName());
    return q.step();
}

qint64 version(Database &db)
{
    Statement q(db.handle(), QStringLiteral("PRAGMA user_version"));
    return q.step() ? q.int64(0) : 0;
}

bool hasColumn(const QStringList &columns, const char *name)
{
    return columns.contains(QLatin1String(name), Qt::CaseInsensitive);
}
}

QString TableName() { return QString::fromLatin1(Table); }
QString SetColumnName() { return QString::fromLatin1(SetColumn); }

QString CreateTableSql()
{
    return QStringLiteral("CREATE TABLE %1 (ID INTEGER PRIMARY KEY, Question TEXT, Answer1 TEXT, Answer2 TEXT,"
                          " Answer3 TEXT, Answer4 TEXT, Testament TEXT, Reference TEXT, Sort INTEGER, Difficulty INTEGER,"
                          " %2 TEXT NOT NULL DEFAULT '')")
        .arg(TableName(), SetColumnName());
}

void StampVersion(Database &db) { db.exec(QStringLiteral("PRAGMA user_version = %1").arg(FormatVersion)); }

bool NeedsUpgrade(Database &db)
{
    if (!isTable(db))
        return false;
    const QStringList columns = db.columns(TableName());
    return !hasColumn(columns, "Difficulty") || !hasColumn(columns, SetColumn) || version(db) < FormatVersion;
}

void Upgrade(Database &db)
{
    if (!NeedsUpgrade(db))
        return;
    // Adding a column rewrites no row: the rows there read the default, the built-in set.
    const QStringList columns = db.columns(TableName());
    if (!hasColumn(columns, "Difficulty"))
        db.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN Difficulty INTEGER").arg(TableName()));
    if (!hasColumn(columns, SetColumn))
        db.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 TEXT NOT NULL DEFAULT ''").arg(TableName(), SetColumnName()));
    if (version(db) < FormatVersion)
        StampVersion(db);
}

QString SetExpression(Database &db)
{
    return hasColumn(db.columns(TableName()), SetColumn) ? QStringLiteral("ifnull(%1, '')").arg(SetColumnName())
                                                         : QStringLiteral("''");
}
}
