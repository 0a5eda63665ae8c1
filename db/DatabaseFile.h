#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <exception>
#include <functional>

class Database;

// The question database file as a whole: compaction into a fresh keyed copy and repair of a
// damaged file. Both build the new file beside the old one under a temporary name, check it,
// flush it to disk and only then rename it over the database file, so the file is at every
// moment either the old one, whole, or the new one, whole. A failure at any step leaves the
// database file as it was and names the step in the error's description.
class DatabaseFile
{
public:
    // A path that is a symbolic link stands for the file it leads to (see target()).
    DatabaseFile(const QString &path, QString password);

    // The file a path stands for: the target of a symbolic link, or the path itself.
    static QString target(const QString &path);

    // Called at the start of every step with its description ("writing the compacted copy" ...).
    // The question tool prints the steps; a handler may throw to stop the work at that step.
    std::function<void(const QString &step)> progress;
    // Called now and then while a step's long statement runs (it must not throw): a window
    // keeps painting its progress meanwhile.
    std::function<void()> tick;

    // Writes a compacted copy, keyed with the same password, to temporary (which must not exist
    // yet; a stale journal of it is removed), checks it and puts it in place of the file.
    // The copy keeps the header values the program relies on (user_version, application_id).
    void compact(const QString &temporary);

    struct RepairResult
    {
        bool salvaged = false; // false: the file was sound and was only rebuilt
        qint64 saved = 0;      // questions in the repaired file
        qint64 total = 0;      // questions the damaged file held; -1 when that cannot be told
        QString kept;          // where the damaged file was kept, when it was damaged
    };
    // Both refuse a file without any write permission bit (error 3110), which is never replaced.
    //
    // Checks the file (quick_check, then integrity_check). A sound file is rebuilt by a
    // compaction through temporary. From a damaged one the rows are read one at a time in
    // short reads that skip what cannot be read (and, where rows were lost, every page is
    // searched for them); a fresh keyed copy of them is written to temporary and replaces the
    // file; the damaged file is kept beside it first (see RepairResult::kept). A file with no
    // readable question (wrong password, no database, no question table)
    // is not touched.
    RepairResult repair(const QString &temporary);

    // "ok", or the first problem a check pragma ("quick_check", "integrity_check") finds.
    // A check that cannot even run (a page that cannot be read) raises the engine's error.
    static QString check(Database &db, const QString &pragma);

    // Flushes a file's contents, or a folder's entries, to the disk.
    static void flushFile(const QString &path);
    static void flushFolder(const QString &folder);
    // Renames from over to in one step: to is the old file or the new one, never a mixture.
    static void replaceFile(const QString &from, const QString &to);

private:
    // The tables of a database with their row counts and header values, to check a copy by.
    struct Census
    {
        QStringList tables;
        QList<qint64> counts;
        QList<qint64> header;
    };

    void step(const QString &description);
    void watch(Database &db) const;
    void requireWritable() const;
    QString keepDamaged();
    qint64 compactSteps(const QString &temporary, const QString &copyName); // the questions copied
    void prepareTemporary(const QString &temporary);
    Census exportCopy(const QString &temporary);
    void verifyCopy(const QString &temporary, const Census &census, const QString &copyName);
    void putInPlace(const QString &temporary);
    RepairResult salvage(Database &source, const QString &temporary, Census &census);

    struct TableSalvage
    {
        qint64 saved = 0;
        qint64 total = 0;     // -1 when the end of the table cannot be read
        bool damaged = false; // some row or page could not be read
    };
    TableSalvage salvageTable(Database &source, Database &rescue, const QString &table);
    void searchPages(Database &rescue, const QString &table, qint64 root, const QString &scratch);

    struct Columns
    {
        QStringList names;      // quoted
        bool idIsColumn = false; // an INTEGER PRIMARY KEY column carries the row id
        QStringList insertList; // the columns an INSERT names, the row id first when it is no column
    };
    static Columns columnsOf(Database &db, const QString &table);
    // CREATE TABLE for a table of db, built from its column names and plain types.
    static QString createTableSql(Database &db, const QString &table);
    [[noreturn]] void fail(const QString &action, const std::exception &error);

    QString m_path;
    QString m_password;
    QString m_step;
    QString m_temporary;
    bool m_ownsTemporary = false;
    bool m_replaced = false;
    QString m_kept;
};
