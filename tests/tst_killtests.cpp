// The program killed (SIGKILL) at random moments while it shuffles the deck, compacts the
// database or saves its settings and high scores: afterwards the database opens with its
// password, passes its integrity check and holds every question unchanged (only Sort may
// differ), and the settings file loads. QUILLORY_KILLS sets the kills of each kind
// (default 30; scripts/kill-test makes 200).
#include "TestSupport.h"

#include "db/Database.h"
#include "db/DatabaseFile.h"
#include "core/RunTimeError.h"
#include "db/Statement.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

using namespace TestSupport;

namespace {
QStringList args(const char *words, const QString &path) { return QString::fromLatin1(words).split(u' ') << path; }

qint64 randomUs(qint64 below) { return qint64(QRandomGenerator::global()->bounded(quint64(std::max<qint64>(below, 1)))); }

// Every question of a database with its row id, without Sort, one text a row.
QStringList rowsOf(Database &db)
{
    Statement q(db.handle(), QStringLiteral("SELECT rowid, Question, Answer1, Answer2, Answer3, Answer4, Testament,"
                                            " Reference FROM tblQuillory ORDER BY rowid"));
    QStringList rows;
    while (q.step()) {
        QStringList fields;
        for (int i = 0; i < 8; ++i)
            fields << q.value(i).toString();
        rows << fields.join(u'|');
    }
    return rows;
}

// What is wrong with a database after a kill, or nothing. It is opened read-write, as the game
// opens it, so a journal left by the killed write is played back.
QString problemsOf(const QString &path, const QStringList &expected, bool sortIsPermutation)
{
    try {
        auto db = Database::open(path, Password);
        if (const QString check = DatabaseFile::check(*db, QStringLiteral("integrity_check")); check != u"ok")
            return QStringLiteral("integrity check: ") + check;
        if (rowsOf(*db) != expected)
            return QStringLiteral("the questions changed");
        Statement sort(db->handle(), QStringLiteral("SELECT count(DISTINCT Sort), min(Sort), max(Sort) FROM tblQuillory"));
        sort.step();
        const qint64 n = expected.size();
        if (sortIsPermutation && (sort.int64(0) != n || sort.int64(1) != 1 || sort.int64(2) != n))
            return QStringLiteral("Sort is no longer a permutation of 1 to %1").arg(n);
        return {};
    } catch (const RunTimeError &e) {
        return QStringLiteral("error %1: %2").arg(e.number()).arg(e.description());
    }
}

// The settings file as one round `r` of `quillory-db settings-stress` writes it: every game
// setting from the same round, a high-score table of whole entries in order; once both
// sections were seen (*whole), they are always there.
QString settingsProblems(const QString &file, const QString &copy, bool *whole)
{
    if (!QFile::exists(file))
        return *whole ? QStringLiteral("the settings file is gone") : QString(); // killed before the first save
    QFile::remove(copy);
    if (!QFile::copy(file, copy))
        return QStringLiteral("the settings file cannot be read");
    QSettings s(copy, QSettings::IniFormat); // a store of its own: nothing cached from an earlier check
    if (s.status() != QSettings::NoError)
        return QStringLiteral("the settings file does not parse");
    const QStringList groups = s.childGroups();
    const bool both = groups.contains(QStringLiteral("GameSettings")) && groups.contains(QStringLiteral("HighScores"));
    if (*whole && !both)
        return QStringLiteral("the settings or the high scores were lost");
    *whole = both;
    if (groups.contains(QStringLiteral("GameSettings"))) {
        const QString name = s.value(QStringLiteral("GameSettings/Player1")).toString();
        const qint64 r = name.mid(6).toLongLong();
        const char *testaments[] = {"OT", "NT", "BT"};
        const QStringList expected{name, name, name, QString::number(r % 4 + 1), QLatin1String(testaments[r % 3]),
                                   r % 2 ? QStringLiteral("True") : QStringLiteral("False"),
                                   QString::number(r % 16777216), QString::number(16777215 - r % 16777216)};
        QStringList actual;
        for (const char *key : {"Player2", "Player3", "Player4", "PlayerCnt", "Testament", "Timed", "WinClr", "WinTxtClr"})
            actual << s.value(QStringLiteral("GameSettings/") + QLatin1String(key)).toString();
        if (!name.startsWith(QLatin1String("Round ")) || actual != expected)
            return QStringLiteral("the game settings are from different rounds: %1 / %2").arg(name, actual.join(u','));
    }
    qint64 lastScore = 1 << 20, lastPercent = 1 << 20;
    for (int rank = 1; groups.contains(QStringLiteral("HighScores")) && rank <= 10; ++rank) {
        const QString name = s.value(QStringLiteral("HighScores/Name%1").arg(rank), QStringLiteral("<none>")).toString();
        bool scoreOk = false, percentOk = false;
        const qint64 score = s.value(QStringLiteral("HighScores/Score%1").arg(rank)).toString().toLongLong(&scoreOk);
        const qint64 percent = s.value(QStringLiteral("HighScores/Percent%1").arg(rank)).toString().toLongLong(&percentOk);
        const qint64 r = name.mid(6).toLongLong();
        if (name == u"<none>" || !scoreOk || !percentOk
            || (!name.isEmpty() && (score != r % 32000 + 1 || percent != r % 101)))
            return QStringLiteral("high-score rank %1 is not one whole entry").arg(rank);
        if (score > lastScore || (score == lastScore && percent > lastPercent))
            return QStringLiteral("the high-score table is out of order at rank %1").arg(rank);
        lastScore = score;
        lastPercent = percent;
    }
    return {};
}
}

class tst_KillTests : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString tool;
    int wanted = 30;

    // How long an undisturbed run works, from its first line to its end; per line after the
    // first when perLine.
    qint64 workUs(const QStringList &arguments, bool perLine)
    {
        QProcess probe;
        probe.start(tool, arguments);
        if (!probe.waitForReadyRead(20000))
            return 1000;
        QElapsedTimer timer;
        timer.start();
        probe.readAllStandardOutput();
        probe.waitForFinished(60000);
        const qint64 lines = perLine ? std::max<qint64>(probe.readAllStandardOutput().count('\n'), 1) : 1;
        return std::max<qint64>(timer.nsecsElapsed() / 1000 / lines, 200);
    }

    // Runs the tool until `wanted` runs were killed: once its work has begun (its first line; on
    // every waitEvery-th run once it printed waitFor), waits delayUs, kills it and checks what it
    // left. Prints the KILLTEST line scripts/kill-test reads.
    void killRuns(const char *kind, const QStringList &arguments, const std::function<qint64(int run)> &delayUs,
                  const std::function<QString()> &check, const QByteArray &waitFor = {}, int waitEvery = 0)
    {
        int runs = 0, kills = 0;
        QStringList failures;
        QElapsedTimer budget;
        budget.start();
        while (kills < wanted && runs < 3 * wanted && budget.elapsed() < 900000) {
            const int run = ++runs;
            QProcess child;
            child.start(tool, arguments);
            if (!child.waitForReadyRead(20000)) {
                failures << QStringLiteral("run %1: the program did not finish a first step in 20 s").arg(run);
                child.kill();
                child.waitForFinished(5000);
                continue;
            }
            if (waitEvery > 0 && run % waitEvery == 0) {
                QByteArray output = child.readAllStandardOutput();
                while (!output.contains(waitFor) && child.waitForReadyRead(20000))
                    output += child.readAllStandardOutput();
            }
            QThread::usleep(delayUs(run));
            child.kill();
            child.waitForFinished(20000);
            if (child.exitStatus() == QProcess::CrashExit)
                ++kills;
            else if (child.exitCode() != 0)
                failures << QStringLiteral("run %1: the program ended with %2: %3")
                                .arg(run).arg(child.exitCode()).arg(QString::fromUtf8(child.readAllStandardError()));
            if (const QString problem = check(); !problem.isEmpty())
                failures << QStringLiteral("run %1: %2").arg(run).arg(problem);
        }
        qInfo("KILLTEST %s runs=%d kills=%d failures=%d", kind, runs, kills, int(failures.size()));
        for (const QString &failure : failures.mid(0, 10))
            qWarning("%s", qPrintable(failure));
        QVERIFY(failures.isEmpty());
        QCOMPARE(kills, wanted);
    }

private slots:
    void initTestCase()
    {
        tool = QCoreApplication::applicationDirPath() + QStringLiteral("/quillory-db");
        if (!QFileInfo(tool).isExecutable())
            QSKIP("quillory-db is not built beside the tests");
        if (const int runs = qEnvironmentVariableIntValue("QUILLORY_KILLS"); runs > 0)
            wanted = runs;
    }

    // A shuffle killed at any moment leaves the old order or the new one, never a mixture.
    void killedShuffleLosesNothing()
    {
        const QString path = makeDatabase(dir.filePath(QStringLiteral("shuffle.mdb")), sampleRows(1000));
        const QStringList before = rowsOf(*Database::open(path, Password, Database::Mode::ReadOnly));
        const qint64 oneShuffle = workUs(args("shuffle --progress -n 10", path), true);
        killRuns("shuffle", args("shuffle --progress -n 1000000", path), [&](int) { return randomUs(3 * oneShuffle); },
                 [&] { return problemsOf(path, before, true); });
    }

    // A compaction killed at any moment leaves the old file or the compacted one, whole.
    void killedCompactionLosesNothing()
    {
        const QString path = makeDatabase(dir.filePath(QStringLiteral("compact.mdb")), sampleRows(1200));
        execSql(path, QStringLiteral("CREATE TABLE Scratch AS SELECT * FROM tblQuillory"));
        execSql(path, QStringLiteral("DROP TABLE Scratch"));
        const QStringList before = rowsOf(*Database::open(path, Password, Database::Mode::ReadOnly));
        const QStringList arguments = args("compact --progress", path);
        const qint64 allUs = workUs(arguments, false);
        // Half the kills fall anywhere in the work, half in the last milliseconds around the
        // rename, where a copy over the old file would leave it half-written.
        killRuns("compact", arguments, [&](int run) { return run % 2 == 0 ? randomUs(3000) : randomUs(allUs); },
                 [&] { return problemsOf(path, before, false); }, "flushing the new file", 2);
    }

    // Settings and high scores killed while being saved: the file always loads, whole.
    void killedSettingsSaveLeavesALoadableFile()
    {
        const QString folder = dir.filePath(QStringLiteral("config"));
        const QString file = folder + QStringLiteral("/Quillory/Quillory.conf");
        const QString copy = dir.filePath(QStringLiteral("check.conf"));
        const qint64 oneRound = workUs(args("settings-stress --progress -n 20", folder), true);
        bool whole = false;
        killRuns("settings", args("settings-stress --progress -n 100000000", folder),
                 [&](int) { return randomUs(3 * oneRound); }, [&] { return settingsProblems(file, copy, &whole); });

        // The game's own loading reads what the last killed run left without an error.
        QProcess last;
        last.start(tool, args("settings-stress -n 1", folder));
        QVERIFY(last.waitForFinished(20000));
        QCOMPARE(last.exitCode(), 0);
        QCOMPARE(last.readAllStandardError(), QByteArray());
    }
};

QUILLORY_CORE_TEST_MAIN(tst_KillTests)
#include "tst_killtests.moc"
