// Bad input of every kind: damaged or unwritable settings, bad stored high scores, damaged or
// odd question databases. The game says what is wrong, or uses its defaults, and plays on.
#include "WindowFixture.h"

#include "db/DataControl.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "core/RunTimeError.h"
#include "core/basMain.h"
#include "app/frmMain.h"
#include "game/GameSession.h"
#include "tools/QuestionDatabase.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSet>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace TestSupport;

namespace {
// A child run of this program plays one game with the settings store in the folder the parent
// names, and prints what the player saw. The store is a single object per process, so every
// settings file gets a process of its own.
constexpr auto ChildConfig = "QUILLORY_BADINPUT_CONFIG";
constexpr auto ChildDatabase = "QUILLORY_BADINPUT_DB";

QPushButton *button(QWidget *window, const QString &name) { return window->findChild<QPushButton *>(name); }

QString escaped(QString text) { return text.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n")); }

// The right answer's button, or 0 when the row cannot be read.
int rightButton(const frmMain &w)
{
    try {
        const QList<int> right = w.game().CorrectButtons();
        return right.isEmpty() ? 0 : right.first();
    } catch (const RunTimeError &) {
    }
    return 0;
}

int playChildGame()
{
    qputenv("XDG_CONFIG_HOME", qgetenv(ChildConfig));
    basMain::DatabasePath = qEnvironmentVariable(ChildDatabase);
    QTextStream out(stdout);
    // Closes every high-scores window that opens, printing its first two ranks first.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&out] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            if (auto *grid = dialog->findChild<QTableWidget *>(QStringLiteral("grdScores")))
                for (int row = 2; row <= 3; ++row)
                    out << "GRID\t" << grid->item(row, 1)->text() << '\t' << grid->item(row, 2)->text() << '\t'
                        << grid->item(row, 3)->text() << '\n';
            dialog->reject();
        }
    });
    closer.start(5);
    {
        frmMain w;
        w.Form_Load();
        out << "PLAYER\t" << w.findChild<QLabel *>(QStringLiteral("staStatusBarPanel1"))->text() << '\n';
        // Every answer right, to the end of the game; the high-scores window opens and closes.
        for (int q = 0; q < 100 && button(&w, QStringLiteral("cmdAnswer1"))->isEnabled(); ++q) {
            if (const int right = rightButton(w))
                button(&w, QStringLiteral("cmdAnswer%1").arg(right))->click();
            button(&w, QStringLiteral("cmdNewQuestion"))->click();
        }
        w.findChild<QAction *>(QStringLiteral("mnuGameHighScores"))->trigger();
        w.findChild<QAction *>(QStringLiteral("mnuGameNew"))->trigger(); // the results were offered already
        w.close();
    }
    for (const QString &error : errorTexts())
        out << "ERROR\t" << escaped(error) << '\n';
    out.flush();
    return 0;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray noise(int size, quint32 seed)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

// Rebuilds the question table without one column (the engine has no DROP COLUMN).
QString withoutColumn(const QString &column)
{
    QStringList kept = QStringLiteral("ID,Question,Answer1,Answer2,Answer3,Answer4,Testament,Reference,Sort").split(u',');
    kept.removeAll(column);
    return QStringLiteral("CREATE TABLE t AS SELECT %1 FROM tblQuillory; DROP TABLE tblQuillory;"
                          " ALTER TABLE t RENAME TO tblQuillory")
        .arg(kept.join(u','));
}
}

class tst_BadInput : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<frmMain> window;

public:
    tst_BadInput()
    {
        if (qEnvironmentVariableIsSet(ChildDatabase)) {
            const int code = playChildGame();
            std::fflush(stdout);
            std::exit(code);
        }
    }

private slots:
    void init()
    {
        clearMessages();
        clearSettings();
    }
    void cleanup()
    {
        window.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void damagedSettingsFallBackAndScoresSurvive_data()
    {
        QTest::addColumn<QString>("kind");      // "file": the bytes are the settings file; otherwise what is in its way
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");     // the start of the one error box of the run, if any
        QTest::addColumn<QString>("player");    // the name the status bar shows
        QTest::addColumn<QStringList>("ranks"); // ranks 1 and 2 of the high-scores window at the end
        const QString mine = QStringLiteral("Player 1\t150\t100"), none = QStringLiteral("\t\t");
        const QString writeError = QStringLiteral("Error #: 75\rCouldn't write the settings file '");
        auto add = [&](const char *row, const char *kind, const QByteArray &bytes, const QString &error = {},
                       const QString &player = QStringLiteral("Player 1"), QStringList ranks = {}) {
            QTest::newRow(row) << kind << bytes << error << player << (ranks.isEmpty() ? QStringList{mine, none} : ranks);
        };
        add("random bytes", "file", noise(4096, 11));
        add("empty file", "file", {});
        add("truncated in a line", "file", "[GameSettings]\nPlayer1=Ann\n[HighScores]\nName1=Bob\nScore1=400\nPercent1=90\nName2=Cy\nSco",
            {}, "Ann", {"Bob\t400\t90", "Ann\t150\t100"});
        add("truncated in a character", "file", "[GameSettings]\nPlayer1=Z\xc3", {}, "Z", {"Z\t150\t100", none});
        add("score as text", "file", "[HighScores]\nName1=Bob\nScore1=abc\nName2=Cy\nScore2=90\n", "Error #: 13\rType mismatch",
            "Player 1", {mine, "Cy\t90\t0"});
        add("score beyond 32 bits", "file", "[HighScores]\nName1=Bob\nScore1=2147483648\n", "Error #: 6\rOverflow");
        add("score of 32 bits", "file", "[HighScores]\nName1=Bob\nScore1=2147483647\n", {}, "Player 1", {"Bob\t2147483647\t0", mine});
        add("huge percent", "file", "[HighScores]\nName1=Bob\nScore1=200\nPercent1=1e400\n", "Error #: 6\rOverflow",
            "Player 1", {"Bob\t200\t0", mine});
        add("negative score", "file", "[HighScores]\nName1=Bob\nScore1=-5\nPercent1=10\n"); // below the empty entries
        add("colour beyond 32 bits", "file", "[GameSettings]\nPlayer1=Ann\nWinClr=1e10\n", "Error #: 6\rOverflow", "Ann",
            {"Ann\t150\t100", none});
        add("unreadable: a folder", "folder", {}, writeError);
        add("unreadable: a link to itself", "loop", {});
        add("empty lock file of a killed save", "lock", {});
        add("settings folder below a file", "below file", {}, writeError);
    }
    // A settings file that is damaged, unreadable or cannot be written never stops a game: bad
    // values fall back to their defaults or are reported, a failed save is reported once per
    // run, and the results of the run stay in the high-score table.
    void damagedSettingsFallBackAndScoresSurvive()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QFETCH(QString, player);
        QFETCH(QStringList, ranks);

        static int run = 0;
        const QString config = dir.filePath(QStringLiteral("config%1").arg(++run));
        const QString file = config + QStringLiteral("/Quillory/Quillory.conf");
        QVERIFY(QDir().mkpath(config + QStringLiteral("/Quillory")));
        QString home = config;
        if (kind == u"file")
            writeFile(file, bytes);
        else if (kind == u"folder")
            QVERIFY(QDir().mkpath(file));
        else if (kind == u"loop")
            QVERIFY(QFile::link(file, file));
        else if (kind == u"lock")
            writeFile(file + QStringLiteral(".lock"), {}); // made, but not yet filled, when the writer died
        else if (kind == u"below file") {
            writeFile(config + QStringLiteral("/plain"), "a file, not a folder");
            home = config + QStringLiteral("/plain/config");
        }
        static const QString database = makeDatabase(dir.filePath(QStringLiteral("three.mdb")), sampleRows(3));

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(ChildConfig), home);
        env.insert(QString::fromLatin1(ChildDatabase), database);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        // A game takes well under a second; nothing may wait long for the store either.
        QVERIFY2(child.waitForFinished(20000), "the game hung");
        const QString output = QString::fromUtf8(child.readAllStandardOutput());
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 qPrintable(output + QString::fromUtf8(child.readAllStandardError())));

        QStringList shownErrors, grid;
        QString shownPlayer;
        for (const QString &line : output.split(u'\n', Qt::SkipEmptyParts)) {
            const QString rest = line.section(u'\t', 1);
            if (line.startsWith(u"PLAYER"))
                shownPlayer = rest;
            else if (line.startsWith(u"GRID"))
                grid << rest;
            else if (line.startsWith(u"ERROR"))
                shownErrors << rest;
        }
        QCOMPARE(shownPlayer, player);
        // A failed save is reported once in the whole run.
        QCOMPARE(shownErrors.size(), error.isEmpty() ? 0 : 1);
        QVERIFY2(error.isEmpty() || shownErrors[0].startsWith(escaped(error)), qPrintable(shownErrors.value(0)));
        // The game over and the High Scores command showed the table (the new game that follows
        // does not offer the same results again); the command's showing is the table after the game.
        QVERIFY2(grid.size() == 4, qPrintable(output));
        QCOMPARE(grid.mid(2, 2), ranks);

        if (!error.startsWith(QStringLiteral("Error #: 75"))) {
            // What was written loads cleanly in a store of its own.
            const QString copy = dir.filePath(QStringLiteral("copy%1.conf").arg(run));
            QVERIFY(QFile::copy(file, copy));
            QSettings written(copy, QSettings::IniFormat);
            QCOMPARE(written.status(), QSettings::NoError);
            const QStringList first = ranks[0].split(u'\t');
            QCOMPARE(written.value(QStringLiteral("HighScores/Name1")).toString(), first[0]);
            QCOMPARE(written.value(QStringLiteral("HighScores/Score1")).toString(), first[1]);
        }
    }

    void badDatabaseIsReportedAndTheGameStaysUsable_data()
    {
        QTest::addColumn<QString>("fault");  // one of the file faults below, or SQL run on the database
        QTest::addColumn<QString>("shown");  // the first error box at start-up ("" for none); %1 is the file
        QTest::addColumn<bool>("playable");  // a question can be answered right
        const QString notADatabase = QStringLiteral("Error #: 3101\r'%1' is not a question database, or its password is wrong.");
        QTest::newRow("empty table") << "DELETE FROM tblQuillory" << "" << false;
        QTest::newRow("random bytes") << "random" << notADatabase << false;
        QTest::newRow("wrong password") << "password" << notADatabase << false;
        QTest::newRow("empty file") << "empty file" << "Error #: 3104\rThe database has no table 'tblQuillory'." << false;
        QTest::newRow("truncated to half") << "half" << "Error #: 3102\rThe database file is damaged. Try Repair Database on the Tools menu." << false;
        QTest::newRow("a folder") << "folder" << "Error #: 3103\rCouldn't find the database file '%1'." << false;
        QTest::newRow("Null answer") << "UPDATE tblQuillory SET Answer2 = NULL" << "Error #: 94\rInvalid use of Null" << false;
        QTest::newRow("Null reference") << "UPDATE tblQuillory SET Reference = NULL" << "" << false;
        QTest::newRow("Null question") << "UPDATE tblQuillory SET Question = NULL" << "" << true;
        QTest::newRow("answers of 10,000 characters") << "long" << "" << true;
        QTest::newRow("binary answers") << "UPDATE tblQuillory SET Answer1 = x'00ff41fe0a', Answer2 = 42, Answer3 = 2.5" << "" << true;
        QTest::newRow("missing column Answer3") << withoutColumn(QStringLiteral("Answer3"))
                                                << "Error #: 3105\rThe table 'tblQuillory' has no field 'Answer3'." << false;
        QTest::newRow("missing column Sort") << withoutColumn(QStringLiteral("Sort"))
                                             << "Error #: 3105\rThe table 'tblQuillory' has no field 'Sort'." << true;
        QTest::newRow("missing column Testament") << withoutColumn(QStringLiteral("Testament")) << "" << true;
    }
    // A question database that is empty, damaged, locked with another password or holding odd
    // rows gives a clear error box; the window never crashes and its commands keep working.
    void badDatabaseIsReportedAndTheGameStaysUsable()
    {
        QFETCH(QString, fault);
        QFETCH(QString, shown);
        QFETCH(bool, playable);
        static int n = 0;
        const QString path = dir.filePath(QStringLiteral("bad%1.mdb").arg(++n));
        QList<QuestionRow> rows = sampleRows(4);
        for (QuestionRow &r : rows) {
            if (fault != u"long")
                break;
            r.question = QString(10000, u'q');
            for (int i = 0; i < 4; ++i)
                r.answers[std::size_t(i)] = QString(9999, QChar(u'a' + i)) + QString::number(i);
            r.reference = QString(10000, u'r');
        }
        makeDatabase(path, rows, fault == u"password" ? QStringLiteral("not the password") : Password);
        QFile file(path);
        if (fault == u"random")
            writeFile(path, noise(65536, 5));
        else if (fault == u"empty file")
            writeFile(path, {});
        else if (fault == u"half")
            QVERIFY(file.resize(file.size() / 2));
        else if (fault == u"folder")
            QVERIFY(QFile::remove(path) && QDir().mkpath(path));
        else if (fault.contains(u' '))
            execSql(path, fault);

        basMain::DatabasePath = path;
        window = std::make_unique<frmMain>();
        window->show();
        window->Form_Load();
        window->grab(); // paints whatever the rows hold
        const QStringList atStart = errorTexts();
        QVERIFY2(shown.isEmpty() ? atStart.isEmpty() : atStart.value(0) == QString(shown).replace(QStringLiteral("%1"), path), qPrintable(escaped(atStart.join(u'|'))));

        // A right answer, when the row can be read, is judged right.
        clearMessages();
        const int right = rightButton(*window);
        button(window.get(), QStringLiteral("cmdAnswer%1").arg(right ? right : 1))->click();
        window->grab();
        const QLabel *result = window->findChild<QLabel *>(QStringLiteral("lblResult"));
        QCOMPARE(right != 0 && result->isVisible() && result->text() == u"CORRECT", playable);

        // Every command still works: the other answers, New Question, New Game, High Scores.
        const QStringList dialogs = WindowFixture::dialogsOf([&] {
            for (int i = 1; i <= 4; ++i)
                button(window.get(), QStringLiteral("cmdAnswer%1").arg(i))->click();
            button(window.get(), QStringLiteral("cmdNewQuestion"))->click();
            window->findChild<QAction *>(QStringLiteral("mnuGameNew"))->trigger();
            window->findChild<QAction *>(QStringLiteral("mnuGameHighScores"))->trigger();
            window->grab();
        });
        QVERIFY(dialogs.contains(QStringLiteral("frmScores")));
        QVERIFY(window->isVisible());
        for (const Shown &box : messages())
            QVERIFY2(box.title == u"Error" ? box.style == 48 && box.text.startsWith(QStringLiteral("Error #: "))
                                           : box.text == u"Game Over!" || box.text.contains(u"holds no questions"),
                     qPrintable(escaped(box.text)));
        QVERIFY2(messages().size() <= 8, qPrintable(escaped(errorTexts().join(u'|')))); // no storm of boxes
    }

    // The shipped question database shows none of its text in its bytes, and opens only with
    // the game's password.
    void shippedDatabaseHidesItsTextAndNeedsThePassword()
    {
        const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/Quillory.mdb");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray raw = file.readAll();
        const QList<QuestionRow> rows = QuestionDatabase::Read(path, Password);
        QVERIFY(rows.size() >= 1500);

        // Every stretch of eight bytes of the file, to look the texts' first eight bytes up in;
        // shorter texts could turn up in the random bytes by chance.
        auto first8 = [](const char *bytes) { quint64 w; std::memcpy(&w, bytes, 8); return w; };
        QSet<quint64> windows;
        for (qsizetype i = 0; i + 8 <= raw.size(); ++i)
            windows.insert(first8(raw.constData() + i));
        int checked = 0;
        for (const QuestionRow &r : rows)
            for (const QString &text : {r.question, r.answers[0], r.answers[1], r.answers[2], r.answers[3], r.reference})
                for (const QByteArray &bytes : {text.toUtf8(), QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2)})
                    if (bytes.size() >= 8 && ++checked)
                        QVERIFY2(!windows.contains(first8(bytes.constData())) || !raw.contains(bytes), qPrintable(text));
        QVERIFY(checked > 10000);
        for (const char *plain : {"SQLite format 3", "tblQuillory", "Answer1", "Reference"})
            QVERIFY2(!raw.contains(plain), plain);

        for (const QString &password : {QString(), QStringLiteral("kelpy48"), QStringLiteral("KELPY47")}) {
            try {
                Database::open(path, password, Database::Mode::ReadOnly);
                QFAIL(qPrintable(QStringLiteral("opened with the password '%1'").arg(password)));
            } catch (const RunTimeError &e) {
                QCOMPARE(e.number(), int(Err::NotADatabase));
            }
        }
    }
};

QUILLORY_TEST_MAIN(tst_BadInput)
#include "tst_badinput.moc"
