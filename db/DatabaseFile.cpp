#include "db/DatabaseFile.h"

#include "db/Database.h"
#include "db/QuestionSchema.h"
#include "core/RunTimeError.h"
#include "db/SqlCipher.h"
#include "db/Statement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <limits>

#include <fcntl.h>
#include <unistd.h>


namespace {
const QString Ok = QStringLiteral("ok");

// One prepared statement on the raw handle, for the salvage loop, which copies values exactly
// (sqlite3_value to parameter) and must tell a row that cannot be read from a failed write.
class Query
{
public:
    Query(sqlite3 *db, const QString &sql)
    {
        const QByteArray text = sql.toUtf8();
        const int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_stmt, nullptr);
        if (rc != SQLITE_OK)
            throw Database::error(db, rc);
    }
    ~Query() { sqlite3_finalize(m_stmt); }
    Query(const Query &) = delete;
    Query &operator=(const Query &) = delete;
    sqlite3_stmt *get() const { return m_stmt; }
    // Ends the statement, and with it the read transaction it held.
    void reset() const { sqlite3_reset(m_stmt); }

private:
    sqlite3_stmt *m_stmt = nullptr;
};

qint64 scalar(Database &db, const QString &sql)
{
    Statement q(db.handle(), sql);
    return q.step() ? q.int64(0) : 0;
}

// The header values the program may rely on, which the export does not carry over.
const char *const HeaderValues[] = {"user_version", "application_id"};

void copyHeaderValues(Database &from, const QString &fromSchema, Database &to, const QString &toSchema)
{
    for (const char *name : HeaderValues) {
        const qint64 value = scalar(from, QStringLiteral("PRAGMA %1.%2").arg(fromSchema, QLatin1String(name)));
        to.exec(QStringLiteral("PRAGMA %1.%2 = %3").arg(toSchema, QLatin1String(name)).arg(value));
    }
}

// The ordinary tables of a database, in schema order.
QStringList tablesOf(Database &db, const QString &schema = QStringLiteral("main"))
{
    Statement q(db.handle(), QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type = 'table' AND rootpage > 0"
                                            " AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid").arg(schema));
    QStringList names;
    while (q.step())
        names << q.value(0).toString();
    return names;
}

void removeIfThere(const QString &path)
{
    if (QFileInfo(path).exists() && !QFile::remove(path))
        throw RunTimeError(Err::FileAccess, QStringLiteral("Couldn't delete the file '%1'.").arg(path));
}

const char *const JournalSuffixes[] = {"-journal", "-wal", "-shm"};
}

DatabaseFile::DatabaseFile(const QString &path, QString password)
    : m_path(target(path)), m_password(std::move(password))
{
}

QString DatabaseFile::target(const QString &path)
{
    // A database reached through a symbolic link is worked on where it lies, so the new file
    // replaces the target and the link stays a link.
    const QFileInfo info(path);
    return info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
}

void DatabaseFile::watch(Database &db) const
{
    if (tick)
        db.setProgressHandler(tick);
}

void DatabaseFile::requireWritable() const
{
    // Renaming over a file ignores its mode, so a file its owner made read-only would be
    // replaced all the same (by root even without any write bit): the mode is checked here.
    const QFileInfo info(m_path);
    if (info.isFile() && !(info.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther)))
        throw RunTimeError(Err::ReadOnly, QStringLiteral("The database file is read-only."));
}

void DatabaseFile::step(const QString &description)
{
    m_step = description;
    if (progress)
        progress(description);
}

QString DatabaseFile::check(Database &db, const QString &pragma)
{
    Statement q(db.handle(), QStringLiteral("PRAGMA %1").arg(pragma));
    return q.step() ? q.value(0).toString() : QString();
}

// ---- compaction ---------------------------------------------------------------------------

void DatabaseFile::compact(const QString &temporary)
{
    try {
        compactSteps(temporary, QStringLiteral("compacted copy"));
    } catch (const std::exception &error) {
        fail(QStringLiteral("Compacting"), error);
    }
}

qint64 DatabaseFile::compactSteps(const QString &temporary, const QString &copyName)
{
    m_replaced = false;
    requireWritable();
    step(QStringLiteral("preparing the temporary file"));
    prepareTemporary(temporary);
    const Census census = exportCopy(temporary);
    verifyCopy(temporary, census, copyName);
    putInPlace(temporary);
    const qsizetype at = census.tables.indexOf(QuestionSchema::TableName());
    return at < 0 ? 0 : census.counts[at];
}

void DatabaseFile::prepareTemporary(const QString &temporary)
{
    m_temporary = temporary;
    m_ownsTemporary = false;
    const QFileInfo info(temporary);
    if (info.exists() || info.isSymLink())
        throw RunTimeError(Err::TemporaryExists, QStringLiteral("The temporary file '%1' already exists.").arg(temporary));
    // A journal left by an interrupted run belongs to no file now; played back into the new
    // copy it would damage it.
    for (const char *suffix : JournalSuffixes)
        removeIfThere(temporary + QLatin1String(suffix));
    m_ownsTemporary = true;
}

DatabaseFile::Census DatabaseFile::exportCopy(const QString &temporary)
{
    step(QStringLiteral("opening the database"));
    if (!QFileInfo(m_path).isFile())
        throw RunTimeError(Err::CantOpen, QStringLiteral("Couldn't find the database file '%1'.").arg(m_path));
    // Create mode only because an attached file is opened with the main connection's flags;
    // the database itself was found above and is only read.
    auto source = Database::open(m_path, m_password, Database::Mode::Create);
    watch(*source);

    step(QStringLiteral("writing the compacted copy"));
    {
        Statement attach(source->handle(), QStringLiteral("ATTACH DATABASE ?1 AS compacted KEY ?2"));
        attach.bind(1, temporary);
        attach.bind(2, m_password);
        attach.step();
    }
    Census census;
    source->exec(QStringLiteral("BEGIN"));
    try {
        census.tables = tablesOf(*source);
        for (const QString &table : census.tables)
            census.counts << scalar(*source, QStringLiteral("SELECT count(*) FROM main.%1").arg(Database::quoted(table)));
        Statement exportAll(source->handle(), QStringLiteral("SELECT sqlcipher_export('compacted')"));
        exportAll.step();
        copyHeaderValues(*source, QStringLiteral("main"), *source, QStringLiteral("compacted"));
        source->commit();
    } catch (...) {
        source->rollback();
        throw;
    }
    source->exec(QStringLiteral("DETACH DATABASE compacted"));
    for (const char *name : HeaderValues)
        census.header << scalar(*source, QStringLiteral("PRAGMA main.%1").arg(QLatin1String(name)));
    source->close();
    return census;
}

void DatabaseFile::verifyCopy(const QString &temporary, const Census &census, const QString &copyName)
{
    step(QStringLiteral("checking the %1").arg(copyName));
    auto copy = Database::open(temporary, m_password, Database::Mode::ReadOnly);
    watch(*copy);
    const QString result = check(*copy, QStringLiteral("integrity_check"));
    if (result != Ok)
        throw RunTimeError(Err::CopyCheckFailed, QStringLiteral("The %1 failed its integrity check (%2).").arg(copyName, result));
    for (qsizetype i = 0; i < census.tables.size(); ++i) {
        const QString &table = census.tables[i];
        if (!copy->hasTable(table))
            throw RunTimeError(Err::CopyCheckFailed, QStringLiteral("The %1 has no table '%2'.").arg(copyName, table));
        const qint64 rows = scalar(*copy, QStringLiteral("SELECT count(*) FROM %1").arg(Database::quoted(table)));
        if (rows != census.counts[i])
            throw RunTimeError(Err::CopyCheckFailed, QStringLiteral("The %1 holds %2 rows of '%3' instead of %4.")
                                                         .arg(copyName).arg(rows).arg(table).arg(census.counts[i]));
    }
    for (qsizetype i = 0; i < census.header.size(); ++i) {
        const QLatin1String name(HeaderValues[i]);
        if (scalar(*copy, QStringLiteral("PRAGMA %1").arg(name)) != census.header[i])
            throw RunTimeError(Err::CopyCheckFailed, QStringLiteral("The %1 lost the database's %2.").arg(copyName, name));
    }
    copy->close();
}

void DatabaseFile::putInPlace(const QString &temporary)
{
    step(QStringLiteral("flushing the new file to the disk"));
    flushFile(temporary);
    // The new file takes the old one's permissions (best effort: only a nicety).
    QFile::setPermissions(temporary, QFile::permissions(m_path));

    step(QStringLiteral("replacing the database file"));
    replaceFile(temporary, m_path);
    m_replaced = true;
    m_ownsTemporary = false;

    step(QStringLiteral("flushing the folder to the disk"));
    flushFolder(QFileInfo(m_path).absolutePath());
}

QString DatabaseFile::keepDamaged()
{
    // The damaged file stays beside the repaired one (Quillory.damaged.mdb, or -2, -3 ...), so
    // whatever the repair could not read is not lost. A second name for the same file costs
    // nothing; where the file system has no such names, the file is copied.
    step(QStringLiteral("keeping the damaged file"));
    const QFileInfo info(m_path);
    QString kept;
    for (int n = 1; kept.isEmpty() || QFileInfo(kept).exists() || QFileInfo(kept).isSymLink(); ++n)
        kept = info.absoluteDir().filePath(info.completeBaseName() + QStringLiteral(".damaged")
                                           + (n > 1 ? QStringLiteral("-%1").arg(n) : QString()) + u'.' + info.suffix());
    if (::link(QFile::encodeName(m_path).constData(), QFile::encodeName(kept).constData()) != 0 && !QFile::copy(m_path, kept))
        throw RunTimeError(Err::FileAccess, QStringLiteral("Couldn't keep the damaged file as '%1'.").arg(kept));
    m_kept = kept;
    return kept;
}

[[noreturn]] void DatabaseFile::fail(const QString &action, const std::exception &error)
{
    if (!m_replaced && !m_kept.isEmpty()) {
        // The damaged file was not replaced after all: it is still where it was, whole.
        QFile::remove(m_kept);
        m_kept.clear();
    }
    if (m_ownsTemporary) {
        // Only a file this run made is removed; the database file itself was never written.
        QFile::remove(m_temporary);
        for (const char *suffix : JournalSuffixes)
            QFile::remove(m_temporary + QLatin1String(suffix));
        m_ownsTemporary = false;
    }
    const auto *runTime = dynamic_cast<const RunTimeError *>(&error);
    const int number = runTime ? runTime->number() : int(Err::EngineGeneral);
    QString cause = runTime ? runTime->description() : QString::fromLocal8Bit(error.what());
    // Advice to run Repair is no help when Repair itself is what stopped.
    if (action == u"Repairing")
        cause.remove(Database::RepairAdvice);
    const QString outcome = m_replaced ? QStringLiteral("The new database file is in place.")
                                       : QStringLiteral("The database file was left as it was.");
    throw RunTimeError(number, QStringLiteral("%1 '%2' stopped while %3: %4 %5").arg(action, m_path, m_step, cause, outcome));
}

// ---- repair -------------------------------------------------------------------------------

DatabaseFile::RepairResult DatabaseFile::repair(const QString &temporary)
{
    m_replaced = false;
    m_ownsTemporary = false;
    m_kept.clear();
    try {
        step(QStringLiteral("opening the database"));
        if (!QFileInfo(m_path).isFile())
            throw RunTimeError(Err::CantOpen, QStringLiteral("Couldn't find the database file '%1'.").arg(m_path));
        requireWritable();
        // Read-write, so that a journal left by an interrupted write is played back on opening;
        // a file cut short is read as far as it goes.
        auto source = Database::open(m_path, m_password, Database::Mode::Salvage);
        watch(*source);
        if (!source->hasTable(QuestionSchema::TableName()))
            throw RunTimeError(Err::TableNotFound, QStringLiteral("The database has no table '%1'.").arg(QuestionSchema::TableName()));

        step(QStringLiteral("checking the database"));
        bool sound = false;
        try {
            sound = check(*source, QStringLiteral("quick_check")) == Ok
                    && check(*source, QStringLiteral("integrity_check")) == Ok;
        } catch (const RunTimeError &) {
            sound = false; // a page the check cannot even read
        }
        if (sound) {
            source->close();
            const qint64 rows = compactSteps(temporary, QStringLiteral("repaired copy"));
            return {false, rows, rows, {}};
        }
        step(QStringLiteral("preparing the temporary file"));
        prepareTemporary(temporary);
        Census census;
        RepairResult result = salvage(*source, temporary, census);
        source->close();
        verifyCopy(temporary, census, QStringLiteral("repaired copy"));
        result.kept = keepDamaged();
        putInPlace(temporary);
        return result;
    } catch (const std::exception &error) {
        fail(QStringLiteral("Repairing"), error);
    }
}

DatabaseFile::RepairResult DatabaseFile::salvage(Database &source, const QString &temporary, Census &census)
{
    step(QStringLiteral("reading the table list"));
    // Only the tables are taken over, each made anew from its column list: the SQL text the
    // damaged file keeps in its schema is never run (a crafted file could hide any statement
    // there). Indexes, views and triggers are left behind; the game needs none of them.
    struct Object
    {
        QString name;
        qint64 root;
    };
    QList<Object> objects;
    {
        Statement q(source.handle(), QStringLiteral("SELECT name, rootpage FROM sqlite_master WHERE type = 'table' AND rootpage > 0"
                                                    " AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid"));
        while (q.step())
            objects << Object{q.value(0).toString(), q.int64(1)};
    }
    QList<qint64> header;
    for (const char *name : HeaderValues) {
        try {
            header << scalar(source, QStringLiteral("PRAGMA %1").arg(QLatin1String(name)));
        } catch (const RunTimeError &) {
            header << 0;
        }
    }

    // The rows are gathered in memory first: the temporary file may be needed for the page
    // search below, and the repaired copy is then written in one go.
    step(QStringLiteral("saving the readable rows"));
    auto rescue = Database::open(QStringLiteral(":memory:"), QString(), Database::Mode::Create);
    watch(*rescue);
    rescue->exec(QStringLiteral("BEGIN"));
    for (const Object &o : objects)
        rescue->exec(createTableSql(source, o.name));
    const qsizetype tables = objects.size();
    RepairResult result;
    const Object *questions = nullptr;
    bool damaged = false;
    for (const Object &o : objects) {
        const TableSalvage table = salvageTable(source, *rescue, o.name);
        if (o.name.compare(QuestionSchema::TableName(), Qt::CaseInsensitive) == 0) {
            result = {true, table.saved, table.total, {}};
            damaged = table.damaged;
            questions = &o;
        }
    }
    // Rows under a damaged branch of the table's tree cannot be reached by id. In a file that
    // holds only the question table, every table page is one of its pages: each is read on
    // its own, and the rows not saved yet are taken from it.
    if (questions && tables == 1 && damaged) {
        step(QStringLiteral("searching every page for lost questions"));
        searchPages(*rescue, questions->name, questions->root, temporary);
        result.saved = scalar(*rescue, QStringLiteral("SELECT count(*) FROM %1").arg(Database::quoted(questions->name)));
        if (result.total >= 0)
            result.total = std::max(result.total, result.saved);
    }
    rescue->commit();
    if (result.saved == 0)
        throw RunTimeError(Err::Damaged, QStringLiteral("No question could be read from the damaged file."));

    step(QStringLiteral("writing the repaired copy"));
    census.tables = tablesOf(*rescue);
    for (const QString &table : census.tables)
        census.counts << scalar(*rescue, QStringLiteral("SELECT count(*) FROM %1").arg(Database::quoted(table)));
    census.header = header;
    {
        Statement attach(rescue->handle(), QStringLiteral("ATTACH DATABASE ?1 AS repaired KEY ?2"));
        attach.bind(1, temporary);
        attach.bind(2, m_password);
        attach.step();
    }
    rescue->exec(QStringLiteral("BEGIN"));
    try {
        Statement exportAll(rescue->handle(), QStringLiteral("SELECT sqlcipher_export('repaired')"));
        exportAll.step();
        for (qsizetype i = 0; i < header.size(); ++i)
            rescue->exec(QStringLiteral("PRAGMA repaired.%1 = %2").arg(QLatin1String(HeaderValues[i])).arg(header[i]));
        rescue->commit();
    } catch (...) {
        rescue->rollback();
        throw;
    }
    rescue->close();
    return result;
}

QString DatabaseFile::createTableSql(Database &db, const QString &table)
{
    // Names are quoted identifiers; a declared type is kept only when it is a plain type name
    // (letters and blanks, maybe a size), so nothing of the file's text can reach the SQL.
    static const QRegularExpression plainType(QStringLiteral(R"(^[A-Za-z][A-Za-z ]{0,30}(\([0-9, ]{1,12}\))?$)"));
    QStringList columns, keys;
    Statement info(db.handle(), QStringLiteral("PRAGMA table_info(%1)").arg(Database::quoted(table)));
    while (info.step()) {
        const QString type = info.value(2).toString();
        QString column = Database::quoted(info.value(1).toString());
        if (plainType.match(type).hasMatch())
            column += u' ' + type;
        columns << column;
        if (info.int64(5) > 0)
            keys << type;
    }
    // A single INTEGER PRIMARY KEY column is the row id itself, and stays so.
    if (keys.size() == 1 && keys.first().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0) {
        Statement again(db.handle(), QStringLiteral("PRAGMA table_info(%1)").arg(Database::quoted(table)));
        for (int i = 0; again.step(); ++i)
            if (again.int64(5) > 0)
                columns[i] = Database::quoted(again.value(1).toString()) + QStringLiteral(" INTEGER PRIMARY KEY");
    }
    if (columns.isEmpty())
        throw RunTimeError(Err::Damaged, QStringLiteral("The columns of the table '%1' cannot be read.").arg(table));
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(Database::quoted(table), columns.join(QStringLiteral(", ")));
}

DatabaseFile::Columns DatabaseFile::columnsOf(Database &db, const QString &table)
{
    Columns result;
    QStringList keys;
    Statement info(db.handle(), QStringLiteral("PRAGMA table_info(%1)").arg(Database::quoted(table)));
    while (info.step()) {
        result.names << Database::quoted(info.value(1).toString());
        if (info.int64(5) > 0)
            keys << info.value(2).toString();
    }
    // A single INTEGER PRIMARY KEY column is the row id itself.
    result.idIsColumn = keys.size() == 1 && keys.first().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
    result.insertList = (result.idIsColumn ? QStringList() : QStringList{QStringLiteral("rowid")}) + result.names;
    return result;
}

namespace {
// INSERT of one row of columns into table, values bound from the columns of a read that
// starts with the row id.
QString insertSql(const QString &table, const QStringList &list, bool orIgnore)
{
    QStringList parameters;
    for (int i = 1; i <= list.size(); ++i)
        parameters << QStringLiteral("?%1").arg(i);
    return QStringLiteral("INSERT %1INTO %2 (%3) VALUES (%4)")
        .arg(orIgnore ? QStringLiteral("OR IGNORE ") : QString(), Database::quoted(table), list.join(u','), parameters.join(u','));
}

// Copies the current row of read (row id first) into insert; true when a row was added.
bool copyRow(sqlite3_stmt *read, sqlite3_stmt *insert, Database &to, bool idIsColumn)
{
    const int first = idIsColumn ? 1 : 0;
    sqlite3_reset(insert);
    for (int i = first; i < sqlite3_column_count(read); ++i)
        sqlite3_bind_value(insert, i - first + 1, sqlite3_column_value(read, i));
    const int rc = sqlite3_step(insert);
    if (rc != SQLITE_DONE)
        throw Database::error(to.handle(), rc);
    return sqlite3_changes(to.handle()) > 0;
}
}

DatabaseFile::TableSalvage DatabaseFile::salvageTable(Database &source, Database &rescue, const QString &table)
{
    const Columns columns = columnsOf(source, table);
    Query read(source.handle(), QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid >= ?1 ORDER BY rowid LIMIT 1")
                                    .arg(columns.names.join(u','), Database::quoted(table)));
    Query insert(rescue.handle(), insertSql(table, columns.insertList, false));

    // Each read is one short statement in autocommit mode: after a page that cannot be read,
    // the engine drops its cache when the statement ends, and the next read starts afresh.
    enum class Outcome { Row, End, Unreadable };
    auto fetch = [&](qint64 from) {
        read.reset();
        sqlite3_bind_int64(read.get(), 1, from);
        const int rc = sqlite3_step(read.get());
        if (rc == SQLITE_ROW)
            return Outcome::Row;
        read.reset();
        return rc == SQLITE_DONE ? Outcome::End : Outcome::Unreadable;
    };

    constexpr qint64 Lowest = std::numeric_limits<qint64>::min();
    constexpr qint64 Highest = std::numeric_limits<qint64>::max();
    TableSalvage result;
    qint64 lost = 0;
    // The question tool numbers rows 1, 2, 3 ..., so a stretch of ids that cannot be read
    // tells how many rows were lost; ids before the first readable one count from 1.
    auto lostUpTo = [](qint64 from, qint64 end) { return std::max<qint64>(0, end - std::max<qint64>(from, 1)); };
    qint64 from = Lowest; // the next id wanted
    for (;;) {
        const Outcome outcome = fetch(from);
        if (outcome == Outcome::Row) {
            const qint64 id = sqlite3_column_int64(read.get(), 0);
            copyRow(read.get(), insert.get(), rescue, columns.idIsColumn);
            read.reset();
            ++result.saved;
            if (id == Highest)
                break;
            from = id + 1;
            continue;
        }
        if (outcome == Outcome::End)
            break;
        result.damaged = true;

        // The row at or after from cannot be read. Find the smallest id from which reading
        // works again: strides doubling from there, then halving between the last bad and the
        // first good one. The ids before it are lost.
        const quint64 room = quint64(Highest) - quint64(from);
        qint64 bad = from, good = from;
        for (quint64 stride = 1; room > 0; stride = stride > room / 2 ? room : stride * 2) {
            const qint64 probe = qint64(quint64(from) + std::min(stride, room));
            if (fetch(probe) != Outcome::Unreadable) {
                good = probe;
                break;
            }
            bad = probe;
            if (probe == Highest)
                break;
        }
        read.reset();
        if (good == from) {
            // The end of the table cannot be read: its last id tells how much, when it can.
            try {
                const qint64 last = scalar(source, QStringLiteral("SELECT max(rowid) FROM %1").arg(Database::quoted(table)));
                lost += lostUpTo(from, last) + 1;
            } catch (const RunTimeError &) {
                lost = -1;
            }
            break;
        }
        while (quint64(good) - quint64(bad) > 1) {
            const qint64 middle = qint64(quint64(bad) + (quint64(good) - quint64(bad)) / 2);
            if (fetch(middle) == Outcome::Unreadable)
                bad = middle;
            else
                good = middle;
        }
        read.reset();
        lost += lostUpTo(from, good);
        from = good;
    }

    result.total = lost < 0 ? -1 : result.saved + lost;
    try {
        result.total = std::max(result.saved, scalar(source, QStringLiteral("SELECT count(*) FROM %1").arg(Database::quoted(table))));
    } catch (const RunTimeError &) {
        // The count itself needs every page; the estimate above stands.
        result.damaged = true;
    }
    return result;
}

void DatabaseFile::searchPages(Database &rescue, const QString &table, qint64 root, const QString &scratch)
{
    // The search works on a copy of the damaged file in the temporary file: there the table's
    // entry in the schema is pointed at one page after the other (one connection writes the
    // schema, a second one reads the page as the table), and the rows found are added unless
    // their id was saved already. The damaged file itself is only read.
    {
        QFile from(m_path), to(scratch);
        if (!from.open(QIODevice::ReadOnly) || !to.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            throw RunTimeError(Err::FileAccess, QStringLiteral("Couldn't copy '%1' to '%2'.").arg(m_path, scratch));
        while (!from.atEnd()) {
            const QByteArray block = from.read(1 << 16);
            if (block.isEmpty() || to.write(block) != block.size())
                throw RunTimeError(Err::IoError, QStringLiteral("Couldn't copy '%1' to '%2'.").arg(m_path, scratch));
        }
    }
    {
        auto writer = Database::open(scratch, m_password, Database::Mode::Salvage);
        writer->exec(QStringLiteral("PRAGMA journal_mode = OFF"));
        writer->exec(QStringLiteral("PRAGMA synchronous = OFF"));
        writer->exec(QStringLiteral("PRAGMA writable_schema = ON"));
        auto reader = Database::open(scratch, m_password, Database::Mode::Salvage);
        watch(*reader);
        const Columns columns = columnsOf(*writer, table);
        const qint64 pages = scalar(*writer, QStringLiteral("PRAGMA page_count"));
        qint64 version = scalar(*writer, QStringLiteral("PRAGMA schema_version"));
        Statement point(writer->handle(), QStringLiteral("UPDATE sqlite_master SET rootpage = ?1 WHERE type = 'table' AND name = ?2"));
        Query read(reader->handle(), QStringLiteral("SELECT rowid, %1 FROM %2").arg(columns.names.join(u','), Database::quoted(table)));
        Query insert(rescue.handle(), insertSql(table, columns.insertList, true));
        for (qint64 page = 2; page <= pages; ++page) {
            if (page == root)
                continue; // the tree itself was walked already
            point.reset();
            point.bind(1, page);
            point.bind(2, table);
            point.step();
            writer->exec(QStringLiteral("PRAGMA schema_version = %1").arg(++version));
            // A page that is no table page, or cannot be read, ends its read with an error.
            while (sqlite3_step(read.get()) == SQLITE_ROW)
                copyRow(read.get(), insert.get(), rescue, columns.idIsColumn);
            read.reset();
        }
    }
    for (const char *suffix : {"", "-journal"})
        QFile::remove(scratch + QLatin1String(suffix));
}

// ---- files --------------------------------------------------------------------------------

void DatabaseFile::flushFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    const bool ok = fd >= 0 && ::fsync(fd) == 0;
    const QString why = qt_error_string(errno);
    if (fd >= 0)
        ::close(fd);
    if (!ok)
        throw RunTimeError(Err::IoError, QStringLiteral("Couldn't flush '%1' to the disk: %2.").arg(path, why));
}

void DatabaseFile::flushFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // Some file systems cannot flush a folder (EINVAL): their renames need no flush.
    const bool ok = fd >= 0 && (::fsync(fd) == 0 || errno == EINVAL);
    const QString why = qt_error_string(errno);
    if (fd >= 0)
        ::close(fd);
    if (!ok)
        throw RunTimeError(Err::IoError, QStringLiteral("Couldn't flush the folder '%1' to the disk: %2.").arg(folder, why));
}

void DatabaseFile::replaceFile(const QString &from, const QString &to)
{
    const bool ok = ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
    const QString why = qt_error_string(errno);
    if (!ok)
        throw RunTimeError(Err::ReplaceFailed, QStringLiteral("Couldn't put '%1' in place of '%2': %3.").arg(from, to, why));
}
