#pragma once

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

// One prepared SQL statement. Values are always bound, never pasted into the SQL text.
// Failures raise the engine's run-time errors.
class Statement
{
public:
    Statement(sqlite3 *db, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bind(int index, const QVariant &value); // 1-based; a null QVariant binds NULL
    // Steps once: true while a row is available, false when done.
    bool step();
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    QVariant value(int column) const; // NULL as a null QVariant, text as QString, integers as qint64
    qint64 int64(int column) const;

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
};
