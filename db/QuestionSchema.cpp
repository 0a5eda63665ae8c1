#include "db/QuestionSchema.h"

#include "db/Database.h"
#include "db/QuestionRow.h"
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

QString InsertSql()
{
    return QStringLiteral("INSERT INTO %1 (Question, Answer1, Answer2, Answer3, Answer4, Testament, Reference, Sort,"
                          " Difficulty, %2) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)")
        .arg(TableName(), SetColumnName());
}

void BindRow(Statement &insert, const QuestionRow &r, qint64 sort, const QString &set)
{
    insert.reset();
    insert.bind(1, r.question);
    for (int i = 0; i < 4; ++i)
        insert.bind(2 + i, r.answers[std::size_t(i)]);
    insert.bind(6, r.testament);
    insert.bind(7, r.reference);
    insert.bind(8, sort);
    insert.bind(9, r.difficulty > 0 ? QVariant(r.difficulty) : QVariant());
    insert.bind(10, set.isNull() ? QStringLiteral("") : set); // the column is NOT NULL
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
