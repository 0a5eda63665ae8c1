// The program killed (SIGKILL) at random moments while it shuffles the deck, compacts the
// database or saves its settings and high scores: afterwards the database opens with its
// password, passes its integrity check and holds every question unchanged (only Sort may
// differ), and the settings file loads. QUILLORY_KILLS sets the kills of each kind
// (default 30; scripts/kill-test makes 200).
#include "TestSupport.h"

#include "app/Database.h"
#include "app/DatabaseFile.h"
#include "app/RunTimeError.h"
#include "app/Statement.h"

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
struct Tally
{
    int runs = 0;
    int kills = 0;
    QStringList failures;
};

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

QStringList questionsOf(const QString &path) { return rowsOf(*Database::open(path, Password, Database::Mode::ReadOnly)); }

// What is wrong with a database after a kill, or nothing: it must open with its password,
// pass its integrity check, hold the expected questions and, when asked, a Sort that holds
// each of 1 to n once.
QString problemsOf(const QString &path, const QStringList &expected, bool sortIsPermutation)
{
    try {
        // Read-write, as the game opens it: a journal left by the killed write is played back.
        auto db = Database::open(path, Password);
        const QString check = DatabaseFile::check(*db, QStringLiteral("integrity_check"));
        if (check != u"ok")
            return QStringLiteral("integrity check: ") + check;
        const QStringList rows = rowsOf(*db);
        if (rows != expected)
            return QStringLiteral("the questions changed (%1 rows instead of %2)").arg(rows.size()).arg(expected.size());
        if (sortIsPermutation) {
            Statement sort(db->handle(), QStringLiteral("SELECT count(DISTINCT Sort), min(Sort), max(Sort) FROM tblQuillory"));
            sort.step();
            const qint64 n = expected.size();
            if (sort.int64(0) != n || sort.int64(1) != 1 || sort.int64(2) != n)
                return QStringLiteral("Sort is no longer a permutation of 1 to %1").arg(n);
        }
        return {};
    } catch (const RunTimeError &e) {
        return QStringLiteral("error %1: %2").arg(e.number()).arg(e.description());
    }
}

// The settings file as one round of `quillory-db settings-stress` writes it: every game
// setting from the same round, and a high-score table of whole entries in order; once both
// sections were seen (*whole), they are always there. An empty result: the file loads and is
// whole.
QString settingsProblems(const QString &file, const QString &copy, bool *whole)
{
    if (!QFile::exists(file))
        return *whole ? QStringLiteral("the settings file is gone") : QString(); // killed before the first save
    QFile::remove(copy);
    if (!QFile::copy(file, copy))
        return QStringLiteral("the settings file cannot be read");
    // A store of its own for the copy, so nothing cached from an earlier check is seen.
    QSettings s(copy, QSettings::IniFormat);
    if (s.status() != QSettings::NoError)
        return QStringLiteral("the settings file does not parse");
    const QStringList groups = s.childGroups();
    const bool both = groups.contains(QStringLiteral("GameSettings")) && groups.contains(QStringLiteral("HighScores"));
    if (*whole && !both)
        return QStringLiteral("the settings or the high scores were lost");
    *whole = both;
    if (groups.contains(QStringLiteral("GameSettings"))) {
        s.beginGroup(QStringLiteral("GameSettings"));
        const QString name = s.value(QStringLiteral("Player1")).toString();
        const qint64 round = name.mid(6).toLongLong();
        static const char *const testaments[] = {"OT", "NT", "BT"};
        const QStringList expected{QString::number(round % 4 + 1), QLatin1String(testaments[round % 3]),
                                   round % 2 ? QStringLiteral("True") : QStringLiteral("False"),
                                   QString::number(round % 16777216), QString::number(16777215 - round % 16777216)};
        QStringList actual;
        for (const char *key : {"PlayerCnt", "Testament", "Timed", "WinClr", "WinTxtClr"})
            actual << s.value(QLatin1String(key)).toString();
        for (int seat = 2; seat <= 4; ++seat)
            if (s.value(QStringLiteral("Player%1").arg(seat)).toString() != name)
                return QStringLiteral("the player names are from different rounds");
        if (!name.startsWith(QLatin1String("Round ")) || actual != expected)
            return QStringLiteral("the game settings are from different rounds: %1 / %2").arg(name, actual.join(u','));
        s.endGroup();
    }
    if (groups.contains(QStringLiteral("HighScores"))) {
        s.beginGroup(QStringLiteral("HighScores"));
        qint64 lastScore = 1 << 20, lastPercent = 1 << 20;
        for (int rank = 1; rank <= 10; ++rank) {
            const QString name = s.value(QStringLiteral("Name%1").arg(rank), QStringLiteral("<none>")).toString();
            bool scoreOk = false, percentOk = false;
            const qint64 score = s.value(QStringLiteral("Score%1").arg(rank)).toString().toLongLong(&scoreOk);
            const qint64 percent = s.value(QStringLiteral("Percent%1").arg(rank)).toString().toLongLong(&percentOk);
            if (name == u"<none>" || !scoreOk || !percentOk)
                return QStringLiteral("high-score rank %1 is not whole").arg(rank);
            if (score > lastScore || (score == lastScore && percent > lastPercent))
                return QStringLiteral("the high-score table is out of order at rank %1").arg(rank);
            const qint64 round = name.mid(6).toLongLong();
            if (!name.isEmpty() && (score != round % 32000 + 1 || percent != round % 101))
                return QStringLiteral("high-score rank %1 mixes two entries").arg(rank);
            lastScore = score;
            lastPercent = percent;
        }
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

    static qint64 randomUs(qint64 below) { return qint64(QRandomGenerator::global()->bounded(quint64(std::max<qint64>(below, 1)))); }

    // How long one step of the work takes: the time from the first line an undisturbed run
    // prints to its end, per line after the first.
    qint64 stepUs(const QStringList &arguments)
    {
        QProcess probe;
        probe.start(tool, arguments);
        if (!probe.waitForReadyRead(20000))
            return 1000;
        QElapsedTimer timer;
        timer.start();
        probe.readAllStandardOutput();
        probe.waitForFinished(60000);
        const qint64 lines = probe.readAllStandardOutput().count('\n');
        return std::max<qint64>(timer.nsecsElapsed() / 1000 / std::max<qint64>(lines, 1), 200);
    }

    // Runs the tool again and again: once its work has begun (its first line; on every
    // waitEvery-th run once it printed waitFor), waits delayUs, kills it and checks what it left.
    void killRuns(Tally &tally, const QStringList &arguments, const std::function<qint64(int run)> &delayUs,
                  const std::function<QString()> &check, const QByteArray &waitFor = {}, int waitEvery = 0)
    {
        QElapsedTimer budget;
        budget.start();
        // Runs until the wanted number of kills (a run may finish before its kill).
        while (tally.kills < wanted && tally.runs < 3 * wanted && budget.elapsed() < 900000) {
            const int run = ++tally.runs;
            QProcess child;
            child.start(tool, arguments);
            if (!child.waitForReadyRead(20000)) {
                tally.failures << QStringLiteral("run %1: the program did not finish a first step in 20 s").arg(run);
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
                ++tally.kills;
            else if (child.exitCode() != 0)
                tally.failures << QStringLiteral("run %1: the program ended with %2: %3")
                                      .arg(run).arg(child.exitCode()).arg(QString::fromUtf8(child.readAllStandardError()));
            if (const QString problem = check(); !problem.isEmpty())
                tally.failures << QStringLiteral("run %1: %2").arg(run).arg(problem);
        }
    }

    void report(const char *kind, const Tally &tally)
    {
        qInfo("KILLTEST %s runs=%d kills=%d failures=%d", kind, tally.runs, tally.kills, int(tally.failures.size()));
        for (const QString &failure : tally.failures.mid(0, 10))
            qWarning("%s", qPrintable(failure));
    }

private slots:
    void initTestCase()
    {
        tool = QCoreApplication::applicationDirPath() + QStringLiteral("/quillory-db");
        if (!QFileInfo(tool).isExecutable())
            QSKIP("quillory-db is not built beside the tests");
        const int runs = qEnvironmentVariableIntValue("QUILLORY_KILLS");
        if (runs > 0)
            wanted = runs;
    }

    // A shuffle killed at any moment leaves the old order or the new one, never a mixture.
    void killedShuffleLosesNothing()
    {
        const QString path = makeDatabase(dir.filePath(QStringLiteral("shuffle.mdb")), sampleRows(1000));
        const QStringList before = questionsOf(path);
        const qint64 oneShuffle = stepUs({QStringLiteral("shuffle"), QStringLiteral("--progress"), QStringLiteral("-n"),
                                          QStringLiteral("10"), path});
        Tally tally;
        killRuns(tally, {QStringLiteral("shuffle"), QStringLiteral("--progress"), QStringLiteral("-n"), QStringLiteral("1000000"), path},
                 [&](int) { return randomUs(3 * oneShuffle); },
                 [&] { return problemsOf(path, before, true); });
        report("shuffle", tally);
        QVERIFY(tally.failures.isEmpty());
        QCOMPARE(tally.kills, wanted);
    }

    // A compaction killed at any moment leaves the old file or the compacted one, whole.
    void killedCompactionLosesNothing()
    {
        const QString path = makeDatabase(dir.filePath(QStringLiteral("compact.mdb")), sampleRows(1200));
        execSql(path, QStringLiteral("CREATE TABLE Scratch AS SELECT * FROM tblQuillory"));
        execSql(path, QStringLiteral("DROP TABLE Scratch"));
        const QStringList before = questionsOf(path);
        const QStringList arguments{QStringLiteral("compact"), QStringLiteral("--progress"), path};
        // The whole work, from its first step to its end.
        QElapsedTimer timer;
        QProcess probe;
        probe.start(tool, arguments);
        QVERIFY(probe.waitForReadyRead(20000));
        timer.start();
        QVERIFY(probe.waitForFinished(60000));
        const qint64 workUs = std::max<qint64>(timer.nsecsElapsed() / 1000, 1000);

        // Half the kills fall anywhere in the work, half in the last milliseconds around the
        // rename, where a copy over the old file would leave it half-written.
        Tally tally;
        killRuns(tally, arguments,
                 [&](int run) { return run % 2 == 0 ? randomUs(3000) : randomUs(workUs); },
                 [&] { return problemsOf(path, before, false); }, "flushing the new file", 2);
        report("compact", tally);
        QVERIFY(tally.failures.isEmpty());
        QCOMPARE(tally.kills, wanted);
    }

    // Settings and high scores killed while being saved: the file always loads, whole.
    void killedSettingsSaveLeavesALoadableFile()
    {
        const QString folder = dir.filePath(QStringLiteral("config"));
        const QString file = folder + QStringLiteral("/Quillory/Quillory.conf");
        const QString copy = dir.filePath(QStringLiteral("check.conf"));
        const qint64 oneRound = stepUs({QStringLiteral("settings-stress"), QStringLiteral("--progress"), QStringLiteral("-n"),
                                        QStringLiteral("20"), folder});
        Tally tally;
        bool whole = false;
        killRuns(tally, {QStringLiteral("settings-stress"), QStringLiteral("--progress"), QStringLiteral("-n"),
                         QStringLiteral("100000000"), folder},
                 [&](int) { return randomUs(3 * oneRound); },
                 [&] { return settingsProblems(file, copy, &whole); });
        report("settings", tally);
        QVERIFY(tally.failures.isEmpty());
        QCOMPARE(tally.kills, wanted);

        // The game's own loading reads what the last killed run left without an error.
        QProcess last;
        last.start(tool, {QStringLiteral("settings-stress"), QStringLiteral("-n"), QStringLiteral("1"), folder});
        QVERIFY(last.waitForFinished(20000));
        QCOMPARE(last.exitCode(), 0);
        QCOMPARE(last.readAllStandardError(), QByteArray());
    }
};

QUILLORY_CORE_TEST_MAIN(tst_KillTests)
#include "tst_killtests.moc"
