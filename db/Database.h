#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

struct sqlite3;
class RunTimeError;

// An open, keyed question database (SQLCipher). The key is given first on the connection
// and checked at once, so a wrong password fails here and not at some later read.
class Database
{
public:
    // Salvage: read-write, and a file shorter than its header says is still read as far as it
    // goes (for Repair only; the schema is never written through it).
    enum class Mode { ReadWrite, ReadOnly, Create, Salvage };

    // Opens path with password (empty: an unencrypted file). Error 3101 for a wrong password
    // or a file that is no database, 3103 when the file cannot be opened or read. Every
    // connection waits up to BusyTimeoutMs for a lock another connection holds briefly (two
    // copies of the game started together) before a lock gives error 3109.
    static constexpr int BusyTimeoutMs = 5000;
    static std::shared_ptr<Database> open(const QString &path, const QString &password,
                                          Mode mode = Mode::ReadWrite);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    const QString &path() const { return m_path; }
    sqlite3 *handle() const;
    bool isOpen() const { return m_db != nullptr; }
    void close();

    void exec(const QString &sql);
    bool hasTable(const QString &table) const;
    QStringList columns(const QString &table) const; // error 3104 when there is no such table

    // Writes values[0], values[1], ... into `column` of the rows of `table` in the order of their
    // row ids, in one statement: one sweep over the table, each page written once. The table
    // must hold exactly values.size() rows (count them inside the caller's transaction); a row
    // more fails with error 3100 and the statement writes nothing. Names as for quoted().
    void writeInRowOrder(const QString &table, const QString &column, const std::vector<qint32> &values);

    // Calls handler now and then while a statement of this connection runs (a long export or
    // check), so a window can keep painting; none: nothing is called.
    void setProgressHandler(std::function<void()> handler);

    // The page cache of this connection, in KiB (the engine's default is 2000).
    void setCacheSize(int kib);

    void beginTransaction();
    void commit();
    void rollback() noexcept;

    // The run-time error for a failed engine call (maps SQLite's result codes to our numbers).
    static RunTimeError error(sqlite3 *db, int rc, const QString &context = {});

    // The advice the description of a damaged file ends with.
    static const QString RepairAdvice;

    // Quotes an identifier for SQL text (names are validated against the schema first).
    static QString quoted(const QString &identifier);

private:
    Database(QString path, sqlite3 *db);
    QString m_path;
    sqlite3 *m_db;
    std::function<void()> m_progress;
};

// Rolls back unless committed: one transaction around a batch of writes.
class Transaction
{
public:
    explicit Transaction(Database &db);
    ~Transaction();
    void commit();

private:
    Database &m_db;
    bool m_done = false;
};
