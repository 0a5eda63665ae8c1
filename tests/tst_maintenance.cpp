// Compact and repair of the question database: the questions survive every failure.
#include "TestSupport.h"

#include "db/DataControl.h"
#include "db/Database.h"
#include "db/DatabaseFile.h"
#include "db/Recordset.h"
#include "core/RunTimeError.h"
#include "db/Statement.h"
#include "db/basDatabase.h"
#include "core/basMain.h"
#include "tools/QuestionDatabase.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

using namespace TestSupport;

namespace {
void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
}

// Damages a file: 16 bytes from at turned to other values.
void damage(const QString &path, qsizetype at)
{
    QByteArray bytes = bytesOf(path);
    for (qsizetype i = at; i < at + 16; ++i)
        bytes[i] = char(bytes[i] ^ 0x5a);
    writeBytes(path, bytes);
}

// Every question of a database as text, or the error that stopped the reading.
QStringList questions(const QString &path)
{
    try {
        QStringList out;
        for (const QuestionRow &r : QuestionDatabase::Read(path, Password))
            out << QStringList{r.question, r.answers[0], r.answers[1], r.answers[2], r.answers[3], r.testament, r.reference}.join(u'|');
        return out;
    } catch (const RunTimeError &e) {
        return {QStringLiteral("error %1: %2").arg(e.number()).arg(e.description())};
    }
}

// A database whose file holds free pages (a dropped table), so compaction has work to do.
QString makeLooseDatabase(const QString &path, int rows)
{
    makeDatabase(path, sampleRows(rows));
    execSql(path, QStringLiteral("CREATE TABLE Scratch AS SELECT * FROM tblQuillory"));
    execSql(path, QStringLiteral("DROP TABLE Scratch"));
    return path;
}

// How many questions the connection deals, reading each one.
int dealAll(DataControl &dat)
{
    Recordset &rs = dat.recordset();
    int dealt = 0;
    for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext(), ++dealt)
        rs.FieldText(QStringLiteral("Question"));
    return dealt;
}
}

class TestMaintenance : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path, m_temp;
    DataControl m_dat;

    void openConnection(const QString &connect = QString::fromLatin1(basMain::ConnectString))
    {
        m_dat.DatabaseName = m_path;
        m_dat.Connect = connect;
        m_dat.RecordSource = QStringLiteral("select * from tblQuillory order by Sort");
        try {
            m_dat.Refresh();
        } catch (const RunTimeError &) {
            // a file made unreadable on purpose: the command starts from a closed connection
        }
    }

private slots:
    void init()
    {
        m_dat.CloseDatabase();
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = m_dir->filePath(QStringLiteral("Quillory.mdb"));
        m_temp = m_dir->filePath(QStringLiteral("Temp.mdb"));
        clearMessages();
    }

    // Compacting removes a leftover Temp.mdb, shrinks the file, keeps questions, password and
    // header, leaves no Temp.mdb, reopens the connection and says so.
    void compactKeepsEveryQuestion()
    {
        makeLooseDatabase(m_path, 1600);
        execSql(m_path, QStringLiteral("PRAGMA user_version = 7"));
        const QStringList before = questions(m_path);
        const qint64 sizeBefore = QFileInfo(m_path).size();
        writeBytes(m_temp, "left over from an earlier run");
        openConnection();

        basDatabase::CompactDatabase(m_dat, m_path);

        QCOMPARE(messages().size(), 1);
        QCOMPARE(messages()[0].text, QStringLiteral("Successfully compacted the '%1' database.").arg(m_path));
        QCOMPARE(messages()[0].title, QStringLiteral("Compact Database"));
        QCOMPARE(messages()[0].style, 48);
        QVERIFY(!QFileInfo::exists(m_temp));
        QVERIFY(QFileInfo(m_path).size() < sizeBefore);
        QVERIFY(!bytesOf(m_path).startsWith("SQLite format 3")); // still encrypted
        QCOMPARE(questions(m_path), before);
        const auto db = Database::open(m_path, Password);
        Statement version(db->handle(), QStringLiteral("PRAGMA user_version"));
        QVERIFY(version.step() && version.int64(0) == 7);
        QCOMPARE(dealAll(m_dat), 1600);
    }

    void commandFailureKeepsTheFile_data()
    {
        QTest::addColumn<bool>("repair");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("reopened"); // the old file is dealt from again
        QTest::newRow("compact: Temp.mdb is a folder") << false << "folder" << int(Err::TemporaryExists) << true;
        QTest::newRow("compact: wrong password") << false << "password" << int(Err::NotADatabase) << false;
        QTest::newRow("compact: file size limit reached") << false << "limit" << int(Err::IoError) << true;
        QTest::newRow("repair: wrong password") << true << "password" << int(Err::NotADatabase) << false;
        QTest::newRow("repair: random bytes") << true << "random" << int(Err::NotADatabase) << false;
        QTest::newRow("repair: no question table") << true << "table" << int(Err::TableNotFound) << false;
    }
    // A command that cannot finish reports the failing step, shows no success box and leaves
    // the file exactly as it was, with no Temp.mdb.
    void commandFailureKeepsTheFile()
    {
        QFETCH(bool, repair);
        QFETCH(QString, fault);
        QFETCH(int, number);
        QFETCH(bool, reopened);
        makeLooseDatabase(m_path, 1200);
        if (fault == u"folder")
            QVERIFY(QDir().mkpath(m_temp + QStringLiteral("/inside")));
        if (fault == u"table")
            execSql(m_path, QStringLiteral("DROP TABLE tblQuillory"));
        if (fault == u"random") {
            QByteArray noise(64 * 1024, 0);
            QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
            writeBytes(m_path, noise);
        }
        const QByteArray original = bytesOf(m_path);
        openConnection(fault == u"password" ? QStringLiteral(";pwd=wrong") : QString::fromLatin1(basMain::ConnectString));
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        if (fault == u"limit") {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit small = saved;
            small.rlim_cur = 64 * 1024;
            QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        }
        repair ? basDatabase::RepairDatabase(m_dat, m_path) : basDatabase::CompactDatabase(m_dat, m_path);
        setrlimit(RLIMIT_FSIZE, &saved);

        QCOMPARE(messages().size(), 1);
        QCOMPARE(messages()[0].title, QStringLiteral("Error"));
        const QString text = messages()[0].text;
        const QString start = QStringLiteral("Error #: %1\r%2 '%3' stopped while ")
                                  .arg(QString::number(number), repair ? QStringLiteral("Repairing") : QStringLiteral("Compacting"), m_path);
        QVERIFY2(text.startsWith(start) && text.endsWith(QStringLiteral("The database file was left as it was.")), qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("Try Repair"))); // no advice to do again what just failed
        QCOMPARE(bytesOf(m_path), original);
        QVERIFY(!QFileInfo(m_temp).isFile());
        QCOMPARE(m_dat.isOpen(), reopened);
    }

    void stopsSafelyAtEveryStep_data()
    {
        QTest::addColumn<bool>("repair");
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("replaced");
        for (const char *step : {"preparing the temporary file", "opening the database", "writing the compacted copy",
                                 "checking the compacted copy", "flushing the new file to the disk", "replacing the database file"})
            QTest::addRow("compact: %s", step) << false << QString::fromLatin1(step) << false;
        QTest::newRow("compact: after the rename") << false << "flushing the folder to the disk" << true;
        for (const char *step : {"saving the readable rows", "searching every page for lost questions", "writing the repaired copy",
                                 "checking the repaired copy", "replacing the database file"})
            QTest::addRow("repair: %s", step) << true << QString::fromLatin1(step) << false;
    }
    // A failure at any step leaves either the old file or the checked new one, never a mixture.
    void stopsSafelyAtEveryStep()
    {
        QFETCH(bool, repair);
        QFETCH(QString, step);
        QFETCH(bool, replaced);
        makeLooseDatabase(m_path, 300);
        if (repair) // a damaged root page: the rows are found by the page search
            damage(m_path, 1024 + 200);
        const QByteArray original = bytesOf(m_path);
        const QStringList before = questions(m_path);
        DatabaseFile file(m_path, Password);
        file.progress = [&](const QString &now) {
            if (now == step)
                throw RunTimeError(Err::IoError, QStringLiteral("Injected fault."));
        };
        try {
            repair ? void(file.repair(m_temp)) : file.compact(m_temp);
            QFAIL("the work did not stop");
        } catch (const RunTimeError &e) {
            QCOMPARE(e.number(), int(Err::IoError));
            QVERIFY2(e.description().contains(QStringLiteral("stopped while %1: Injected fault.").arg(step)), qPrintable(e.description()));
            QCOMPARE(e.description().endsWith(QStringLiteral("left as it was.")), !replaced);
        }
        QCOMPARE(bytesOf(m_path) == original, !replaced);
        QCOMPARE(questions(m_path), before);
        QVERIFY(!QFileInfo::exists(m_temp));
    }

    void repairSavesWhatCanBeRead_data()
    {
        QTest::addColumn<int>("at"); // damaged offset; 0: a sound file; -1 the middle; -2 cut short there
        QTest::addColumn<int>("fewest");
        QTest::addColumn<QString>("tail"); // the message's second line after the count
        QTest::newRow("sound file") << 0 << 1200 << "";
        QTest::newRow("a page in the middle") << -1 << 1100 << "of 1200 questions were saved";
        QTest::newRow("the table's root page") << 1024 + 200 << 1200 << "questions were saved; how many were lost cannot be told";
        QTest::newRow("cut short") << -2 << 550 << "questions were saved; how many were lost cannot be told";
    }
    // A sound file is rebuilt whole; from a damaged one most questions are saved, unchanged,
    // still encrypted, and dealt, and the damaged file is kept beside it; the message says both.
    void repairSavesWhatCanBeRead()
    {
        QFETCH(int, at);
        QFETCH(int, fewest);
        QFETCH(QString, tail);
        makeDatabase(m_path, sampleRows(1200));
        const QStringList before = questions(m_path);
        if (at == -2)
            QVERIFY(QFile(m_path).resize(QFileInfo(m_path).size() / 2));
        else if (at)
            damage(m_path, at < 0 ? QFileInfo(m_path).size() / 2 : at);
        const QByteArray damaged = bytesOf(m_path);
        openConnection();

        basDatabase::RepairDatabase(m_dat, m_path);

        QCOMPARE(messages().size(), 1);
        QCOMPARE(messages()[0].title, QStringLiteral("Repair Database"));
        QCOMPARE(messages()[0].style, 48);
        static const QRegularExpression format(QStringLiteral(
            "^Successfully repaired the '(.*)' database\\.(?:\\r(\\d+) (.*)\\.\\rThe damaged file was kept as '(.*)'\\.)?$"));
        const auto m = format.match(messages()[0].text);
        QVERIFY2(m.hasMatch() && m.captured(1) == m_path && m.captured(3) == tail, qPrintable(messages()[0].text));
        const QString kept = m_dir->filePath(QStringLiteral("Quillory.damaged.mdb"));
        QCOMPARE(m.captured(4), at ? kept : QString());
        QCOMPARE(bytesOf(kept), at ? damaged : QByteArray());
        const QStringList after = questions(m_path);
        const int saved = tail.isEmpty() ? 1200 : m.captured(2).toInt();
        qInfo("saved %d questions", saved);
        QVERIFY(after.size() == saved && saved >= fewest && saved <= 1200);
        for (const QString &row : after)
            QVERIFY(before.contains(row));
        QVERIFY(!bytesOf(m_path).startsWith("SQLite format 3"));
        QVERIFY(!QFileInfo::exists(m_temp));
        QCOMPARE(dealAll(m_dat), saved);
    }

    // SQL hidden in the file's schema is never run: a crafted schema cannot make Repair or Compact
    // write anywhere, and the questions are still saved.
    void schemaTextIsNeverRun()
    {
        for (const bool damaged : {false, true}) {
            const QString outside = m_dir->filePath(QStringLiteral("outside"));
            QVERIFY(QDir().mkpath(outside));
            makeDatabase(m_path, sampleRows(300));
            execSql(m_path, QStringLiteral("PRAGMA writable_schema = ON; UPDATE sqlite_master SET sql = sql || '; ATTACH ''%1/evil.db'' AS p;"
                                           " CREATE TABLE p.t(x)' WHERE name = 'tblQuillory'").arg(outside));
            if (damaged)
                damage(m_path, QFileInfo(m_path).size() / 2);
            openConnection();
            basDatabase::RepairDatabase(m_dat, m_path);
            basDatabase::CompactDatabase(m_dat, m_path);
            QVERIFY2(errorTexts().isEmpty(), qPrintable(errorTexts().join(u'|')));
            QVERIFY(QDir(outside).isEmpty());
            QVERIFY(questions(m_path).size() >= 250);
            QVERIFY(QFile::remove(m_path));
            clearMessages();
        }
    }

    // A file without write permission is never replaced (root could rename over it all the
    // same); one reached through a symbolic link is replaced where it lies, the link kept.
    void readOnlyAndLinkedFiles()
    {
        makeLooseDatabase(m_path, 200);
        QVERIFY(QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const QByteArray original = bytesOf(m_path);
        openConnection();
        basDatabase::CompactDatabase(m_dat, m_path);
        basDatabase::RepairDatabase(m_dat, m_path);
        QCOMPARE(errorTexts().size(), 2);
        for (const QString &error : errorTexts())
            QVERIFY2(error.startsWith(QStringLiteral("Error #: 3110\r")) && error.contains(QStringLiteral("The database file is read-only.")),
                     qPrintable(error));
        QCOMPARE(bytesOf(m_path), original);

        QVERIFY(QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner));
        const QString elsewhere = m_dir->filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkpath(elsewhere));
        const QString target = elsewhere + QStringLiteral("/real.mdb");
        QVERIFY(QFile::rename(m_path, target) && QFile::link(target, m_path));
        clearMessages();
        openConnection();
        basDatabase::CompactDatabase(m_dat, m_path);
        QCOMPARE(messages().value(0).title, QStringLiteral("Compact Database"));
        QVERIFY(QFileInfo(m_path).isSymLink());
        QVERIFY(QFileInfo(target).size() < original.size());
        QCOMPARE(questions(m_path).size(), 200);
        QCOMPARE(dealAll(m_dat), 200);
    }

    // A connection that cannot be reopened after a compaction is reported, without the success box.
    void reopenFailureIsReported()
    {
        makeDatabase(m_path, sampleRows(20));
        openConnection();
        m_dat.RecordSource = QStringLiteral("tblMissing");
        basDatabase::CompactDatabase(m_dat, m_path);
        QCOMPARE(messages().size(), 1);
        QVERIFY(errorTexts().value(0).startsWith(QStringLiteral("Error #: %1\r").arg(int(Err::TableNotFound))));
        QVERIFY(!m_dat.isOpen());
        QCOMPARE(questions(m_path).size(), 20);
    }
};

QUILLORY_CORE_TEST_MAIN(TestMaintenance)
#include "tst_maintenance.moc"
