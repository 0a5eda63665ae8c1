#include "db/Database.h"

#include "core/RunTimeError.h"
#include "db/SqlCipher.h"
#include "db/Statement.h"

#include <QFileInfo>

const QString Database::RepairAdvice = QStringLiteral(" Try Repair Database on the Tools menu.");

Database::Database(QString path, sqlite3 *db) : m_path(std::move(path)), m_db(db) {}

Database::~Database() { close(); }

void Database::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

sqlite3 *Database::handle() const
{
    if (!m_db)
        throw RunTimeError(Err::NotOpen, QStringLiteral("The database is not open."));
    return m_db;
}

std::shared_ptr<Database> Database::open(const QString &path, const QString &password, Mode mode)
{
    if (mode != Mode::Create && !QFileInfo(path).isFile())
        throw RunTimeError(Err::CantOpen, QStringLiteral("Couldn't find the database file '%1'.").arg(path));

    int flags = SQLITE_OPEN_NOMUTEX;
    flags |= mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (mode == Mode::Create)
        flags |= SQLITE_OPEN_CREATE;

    sqlite3 *db = nullptr;
    const QByteArray file = path.toUtf8();
    int rc = sqlite3_open_v2(file.constData(), &db, flags, nullptr);
    std::shared_ptr<Database> result(new Database(path, db));
    if (rc != SQLITE_OK) {
        if (QFileInfo(path).isFile() && !QFileInfo(path).isReadable())
            throw RunTimeError(Err::CantOpen, QStringLiteral("The database file '%1' cannot be read: permission denied.").arg(path));
        throw RunTimeError(Err::CantOpen, QStringLiteral("Couldn't open the database file '%1'.").arg(path));
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, BusyTimeoutMs);

    // The key must be the first thing said on a fresh connection.
    if (!password.isEmpty()) {
        const QByteArray key = password.toUtf8();
        rc = sqlite3_key(db, key.constData(), int(key.size()));
        if (rc != SQLITE_OK)
            throw error(db, rc, path);
    }
    if (mode == Mode::Salvage)
        sqlite3_exec(db, "PRAGMA writable_schema = ON", nullptr, nullptr, nullptr);
    // Reading the schema proves the key: a wrong one fails here with "not a database".
    try {
        Statement check(db, QStringLiteral("SELECT count(*) FROM sqlite_master"));
        check.step();
    } catch (const RunTimeError &e) {
        if (e.number() == Err::NotADatabase)
            throw RunTimeError(Err::NotADatabase,
                               QStringLiteral("'%1' is not a question database, or its password is wrong.").arg(path));
        throw;
    }
    return result;
}

void Database::exec(const QString &sql)
{
    char *message = nullptr;
    const int rc = sqlite3_exec(handle(), sql.toUtf8().constData(), nullptr, nullptr, &message);
    sqlite3_free(message);
    if (rc != SQLITE_OK)
        throw error(m_db, rc);
}

bool Database::hasTable(const QString &table) const
{
    Statement q(handle(), QStringLiteral("SELECT 1 FROM sqlite_master WHERE type IN ('table','view') AND name = ?1 COLLATE NOCASE"));
    q.bind(1, table);
    return q.step();
}

QStringList Database::columns(const QString &table) const
{
    if (!hasTable(table))
        throw RunTimeError(Err::TableNotFound, QStringLiteral("The database has no table '%1'.").arg(table));
    // The name was checked against the schema above, so quoting it is safe.
    Statement q(handle(), QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table)));
    QStringList names;
    while (q.step())
        names << q.value(1).toString();
    return names;
}

namespace {
struct Sequence
{
    const std::vector<qint32> *values;
    std::size_t next = 0;
};

void nextValue(sqlite3_context *context, int, sqlite3_value **)
{
    auto *sequence = static_cast<Sequence *>(sqlite3_user_data(context));
    if (sequence->next >= sequence->values->size()) {
        sqlite3_result_error(context, "the table holds more rows than were counted", -1);
        return;
    }
    sqlite3_result_int64(context, (*sequence->values)[sequence->next++]);
}
}

void Database::writeInRowOrder(const QString &table, const QString &column, const std::vector<qint32> &values)
{
    // The values come from a function of this connection, registered for the one statement.
    Sequence sequence{&values};
    static const char *const Function = "quillory_next_value";
    int rc = sqlite3_create_function_v2(handle(), Function, 0, SQLITE_UTF8, &sequence, nextValue, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw error(m_db, rc);
    try {
        exec(QStringLiteral("UPDATE %1 SET %2 = %3()").arg(quoted(table), quoted(column), QLatin1String(Function)));
    } catch (...) {
        sqlite3_create_function_v2(m_db, Function, 0, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr, nullptr);
        throw;
    }
    sqlite3_create_function_v2(m_db, Function, 0, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr, nullptr);
}

void Database::setProgressHandler(std::function<void()> handler)
{
    m_progress = std::move(handler);
    int (*call)(void *) = [](void *self) {
        static_cast<Database *>(self)->m_progress();
        return 0;
    };
    // Every 100,000 steps of the engine's machine: many times a second while it works.
    sqlite3_progress_handler(handle(), m_progress ? 100000 : 0, m_progress ? call : nullptr, this);
}

void Database::setCacheSize(int kib)
{
    // Setting the size, even to the same value, drops the pages cached so far: only a change is
    // made.
    Statement current(handle(), QStringLiteral("PRAGMA cache_size"));
    if (current.step() && current.int64(0) == -qint64(kib))
        return;
    exec(QStringLiteral("PRAGMA cache_size = %1").arg(-qint64(kib)));
}

void Database::beginTransaction() { exec(QStringLiteral("BEGIN IMMEDIATE")); }
void Database::commit() { exec(QStringLiteral("COMMIT")); }

void Database::rollback() noexcept
{
    if (m_db && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

QString Database::quoted(const QString &identifier)
{
    return u'"' + QString(identifier).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

RunTimeError Database::error(sqlite3 *db, int rc, const QString &context)
{
    const QString detail = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
    const QString where = context.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(context);
    switch (rc & 0xff) {
    case SQLITE_NOTADB:
        return {Err::NotADatabase, QStringLiteral("The file is not a question database, or its password is wrong") + where + u'.'};
    case SQLITE_CORRUPT:
        return {Err::Damaged, QStringLiteral("The database file is damaged") + where + u'.' + RepairAdvice};
    case SQLITE_CANTOPEN: {
        // A write needs a journal beside the file: a folder that cannot be written is the cause
        // then, not the file.
        const char *file = db ? sqlite3_db_filename(db, "main") : nullptr;
        const QFileInfo info(file && *file ? QString::fromUtf8(file) : QString());
        if (info.isFile() && !QFileInfo(info.absolutePath()).isWritable())
            return {Err::ReadOnly, QStringLiteral("The folder of the database file cannot be written") + where + u'.'};
        return {Err::CantOpen, QStringLiteral("Couldn't open the database file") + where + u'.'};
    }
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return {Err::Busy, QStringLiteral("The database file is in use") + where + u'.'};
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return {Err::ReadOnly, QStringLiteral("The database file or its folder cannot be written") + where + u'.'};
    case SQLITE_FULL:
        return {Err::DiskFull, QStringLiteral("The disk is full") + where + u'.'};
    case SQLITE_IOERR:
        if (rc == SQLITE_IOERR_SHORT_READ)
            return {Err::Damaged, QStringLiteral("The database file is damaged (it is shorter than it should be)") + where + u'.'};
        return {Err::IoError, QStringLiteral("Couldn't read or write the database file") + where + QStringLiteral(": ") + detail};
    default:
        return {Err::EngineGeneral, QStringLiteral("Database engine error") + where + QStringLiteral(": ") + detail};
    }
}

Transaction::Transaction(Database &db) : m_db(db) { m_db.beginTransaction(); }

Transaction::~Transaction()
{
    if (!m_done)
        m_db.rollback();
}

void Transaction::commit()
{
    m_db.commit();
    m_done = true;
}
