// Compact and repair of the question database: the questions survive every failure.
#include "TestSupport.h"

#include "app/DataControl.h"
#include "app/Database.h"
#include "app/DatabaseFile.h"
#include "app/Recordset.h"
#include "app/RunTimeError.h"
#include "app/Statement.h"
#include "app/basDatabase.h"
#include "app/basMain.h"
#include "tools/QuestionDatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace TestSupport;

namespace {
QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
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

int dealAll(DataControl &dat)
{
    Recordset &rs = dat.recordset();
    int dealt = 0;
    for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) {
        rs.FieldText(QStringLiteral("Question"));
        ++dealt;
    }
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

        QElapsedTimer timer;
        timer.start();
        basDatabase::CompactDatabase(m_dat, m_path);
        qInfo("compacting 1600 questions took %lld ms", timer.elapsed());

        QCOMPARE(messages().size(), 1);
        QCOMPARE(messages()[0].text, QStringLiteral("Successfully compacted the '%1' database.").arg(m_path));
        QCOMPARE(messages()[0].title, QStringLiteral("Compact Database"));
        QCOMPARE(messages()[0].style, 48);
        QVERIFY(!QFileInfo::exists(m_temp));
        QVERIFY(QFileInfo(m_path).size() < sizeBefore);
        QVERIFY(!bytesOf(m_path).startsWith("SQLite format 3")); // still encrypted
        QCOMPARE(questions(m_path), before);
        auto db = Database::open(m_path, Password);
        Statement version(db->handle(), QStringLiteral("PRAGMA user_version"));
        version.step();
        QCOMPARE(version.int64(0), 7);
        QVERIFY(m_dat.isOpen());
        QCOMPARE(dealAll(m_dat), 1600);
    }

    void compactFailureKeepsTheFile_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("number");
        QTest::newRow("Temp.mdb is a folder") << "folder" << int(Err::TemporaryExists);
        QTest::newRow("wrong password") << "password" << int(Err::NotADatabase);
        QTest::newRow("file size limit reached") << "limit" << int(Err::IoError);
        QTest::newRow("folder not writable") << "readonly" << int(Err::CantOpen);
    }
    // A compaction that cannot finish reports the failing step and leaves the file untouched.
    void compactFailureKeepsTheFile()
    {
        QFETCH(QString, fault);
        QFETCH(int, number);
        makeLooseDatabase(m_path, 1200);
        const QByteArray original = bytesOf(m_path);
        openConnection(fault == u"password" ? QStringLiteral(";pwd=wrong") : QString::fromLatin1(basMain::ConnectString));
        if (fault == u"folder") {
            QVERIFY(QDir().mkpath(m_temp + QStringLiteral("/inside")));
        }
#ifdef Q_OS_UNIX
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        if (fault == u"limit") {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit small = saved;
            small.rlim_cur = 64 * 1024;
            QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        }
        if (fault == u"readonly") {
            QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner);
            if (::access(QFile::encodeName(m_dir->path()).constData(), W_OK) == 0) {
                QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
                QSKIP("this user can write into any folder (root)");
            }
        }
#else
        if (fault == u"limit" || fault == u"readonly")
            QSKIP("needs a Unix file system");
#endif
        basDatabase::CompactDatabase(m_dat, m_path);
#ifdef Q_OS_UNIX
        setrlimit(RLIMIT_FSIZE, &saved);
        QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
#endif
        QCOMPARE(messages().size(), 1);
        QCOMPARE(messages()[0].title, QStringLiteral("Error"));
        QVERIFY2(messages()[0].text.startsWith(QStringLiteral("Error #: %1\rCompacting '%2' stopped while ").arg(number).arg(m_path)),
                 qPrintable(messages()[0].text));
        QVERIFY(messages()[0].text.endsWith(QStringLiteral("The database file was left as it was.")));
        QCOMPARE(bytesOf(m_path), original);
        QCOMPARE(QFileInfo(m_temp).isFile(), false);
        QCOMPARE(m_dat.isOpen(), fault != u"password"); // the old file is dealt from again
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
        if (repair) { // a damaged root page: the rows are found by the page search
            QByteArray bytes = bytesOf(m_path);
            bytes[1024 + 200] = char(bytes[1024 + 200] ^ 0x5a);
            writeBytes(m_path, bytes);
        }
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

    void repairSalvagesDamagedFile_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("fewest");
        QTest::addColumn<QString>("total"); // empty: the damage hides how many there were
        QTest::newRow("a page in the middle") << 0 << 1100 << "1200";
        QTest::newRow("the table's root page") << 2 << 1200 << ""; // every row is still on its own page
    }
    // A file with a damaged page is salvaged: most questions are saved, unchanged, and dealt.
    void repairSalvagesDamagedFile()
    {
        QFETCH(int, page);
        QFETCH(int, fewest);
        QFETCH(QString, total);
        makeDatabase(m_path, sampleRows(1200));
        const QStringList before = questions(m_path);
        QByteArray bytes = bytesOf(m_path);
        const qsizetype at = page ? (page - 1) * 1024 + 200 : bytes.size() / 2;
        for (qsizetype i = at; i < at + 16; ++i)
            bytes[i] = char(bytes[i] ^ 0x5a);
        writeBytes(m_path, bytes);
        openConnection();

        basDatabase::RepairDatabase(m_dat, m_path);

        QCOMPARE(messages().size(), 1);
        QVERIFY2(messages()[0].title == u"Repair Database", qPrintable(messages()[0].text));
        QCOMPARE(messages()[0].style, 48);
        static const QRegularExpression text(QStringLiteral(
            "^Successfully repaired the '(.*)' database\\.\\r(\\d+) (?:of (\\d+) questions were saved|questions were saved; how many were lost cannot be told)\\.$"));
        const auto m = text.match(messages()[0].text);
        QVERIFY2(m.hasMatch(), qPrintable(messages()[0].text));
        QCOMPARE(m.captured(1), m_path);
        const int saved = m.captured(2).toInt();
        qInfo("salvaged %d of %s questions", saved, qPrintable(total.isEmpty() ? QStringLiteral("an unknown number of") : total));
        QCOMPARE(m.captured(3), total);
        QVERIFY(saved >= fewest && saved <= 1200);
        QVERIFY(!bytesOf(m_path).startsWith("SQLite format 3")); // still encrypted
        const QStringList after = questions(m_path);
        QCOMPARE(after.size(), saved);
        for (const QString &row : after)
            QVERIFY(before.contains(row));
        QVERIFY(!QFileInfo::exists(m_temp));
        QCOMPARE(dealAll(m_dat), saved);
    }

    // A sound file is rebuilt and keeps every question; the message has one line.
    void repairRebuildsSoundFile()
    {
        makeLooseDatabase(m_path, 500);
        const QStringList before = questions(m_path);
        openConnection();
        basDatabase::RepairDatabase(m_dat, m_path);
        QCOMPARE(messages().size(), 1);
        QCOMPARE(messages()[0].text, QStringLiteral("Successfully repaired the '%1' database.").arg(m_path));
        QCOMPARE(messages()[0].title, QStringLiteral("Repair Database"));
        QCOMPARE(questions(m_path), before);
        QCOMPARE(dealAll(m_dat), 500);
    }

    void repairLeavesHopelessFile_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("number");
        QTest::newRow("wrong password") << "password" << int(Err::NotADatabase);
        QTest::newRow("random bytes") << "random" << int(Err::NotADatabase);
        QTest::newRow("no question table") << "table" << int(Err::TableNotFound);
    }
    // A file that cannot be salvaged at all is left exactly as it was, and the error is reported.
    void repairLeavesHopelessFile()
    {
        QFETCH(QString, fault);
        QFETCH(int, number);
        makeDatabase(m_path, sampleRows(50));
        if (fault == u"random") {
            QByteArray noise(64 * 1024, 0);
            QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
            writeBytes(m_path, noise);
        } else if (fault == u"table") {
            execSql(m_path, QStringLiteral("DROP TABLE tblQuillory"));
        }
        const QByteArray original = bytesOf(m_path);
        openConnection(fault == u"password" ? QStringLiteral(";pwd=wrong") : QString::fromLatin1(basMain::ConnectString));
        basDatabase::RepairDatabase(m_dat, m_path);
        QCOMPARE(errorTexts().size(), 1);
        QVERIFY2(errorTexts()[0].startsWith(QStringLiteral("Error #: %1\rRepairing '").arg(number)), qPrintable(errorTexts()[0]));
        QCOMPARE(messages().size(), 1);
        QCOMPARE(bytesOf(m_path), original);
        QVERIFY(!QFileInfo::exists(m_temp));
        QVERIFY(!m_dat.isOpen());
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

    // A compaction killed at any moment leaves the database opening with its password and
    // holding every question unchanged; the next run cleans up after it.
    void killedCompactionLosesNothing()
    {
#ifndef Q_OS_UNIX
        QSKIP("kills a child process with SIGKILL");
#endif
        const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/quillory-db");
        if (!QFileInfo(tool).isExecutable())
            QSKIP("quillory-db is not built beside the tests");
        makeLooseDatabase(m_path, 1200);
        const QStringList before = questions(m_path);
        const QStringList arguments{QStringLiteral("compact"), QStringLiteral("--progress"), m_path};

        // One undisturbed run: how long the work takes once the tool has started.
        QProcess probe;
        probe.start(tool, arguments);
        QVERIFY(probe.waitForReadyRead(10000));
        QElapsedTimer work;
        work.start();
        QVERIFY(probe.waitForFinished(10000));
        QCOMPARE(probe.exitCode(), 0);
        const qint64 workUs = std::max<qint64>(work.nsecsElapsed() / 1000, 1000);

        // Half the kills fall anywhere in the work, half in the last milliseconds around the
        // rename, where a copy-over would leave the file half-written.
        QMap<QString, int> killedDuring;
        int runs = 0, kills = 0;
        QElapsedTimer budget;
        budget.start();
        // Sixty kills, or fifty once half a minute has passed (slow builds), within four minutes.
        while (kills < 60 && !(kills >= 50 && budget.elapsed() > 30000) && budget.elapsed() < 240000) {
            ++runs;
            QProcess child;
            child.start(tool, arguments);
            QVERIFY(child.waitForReadyRead(10000));
            QByteArray output = child.readAllStandardOutput();
            if (runs % 2 == 0) {
                while (!output.contains("flushing the new file") && child.waitForReadyRead(10000))
                    output += child.readAllStandardOutput();
                QThread::usleep(QRandomGenerator::global()->bounded(3000));
            } else {
                QThread::usleep(QRandomGenerator::global()->bounded(workUs));
            }
            child.kill();
            QVERIFY(child.waitForFinished(10000));
            output += child.readAllStandardOutput();
            if (child.exitStatus() == QProcess::CrashExit) {
                ++kills;
                ++killedDuring[QString::fromUtf8(output.trimmed().split('\n').last())];
            }
            QCOMPARE(questions(m_path), before);
        }
        qInfo() << runs << "runs," << kills << "killed; last step begun:" << killedDuring;
        QVERIFY(kills >= 50);

        QProcess last;
        last.start(tool, arguments);
        QVERIFY(last.waitForFinished(10000));
        QCOMPARE(last.exitCode(), 0);
        QVERIFY(!QFileInfo::exists(m_temp));
        QCOMPARE(questions(m_path), before);
    }
};

QUILLORY_CORE_TEST_MAIN(TestMaintenance)
#include "tst_maintenance.moc"
