// Bad input of every kind: damaged or unwritable settings, bad stored high scores, damaged or
// odd question databases. The game says what is wrong, or uses its defaults, and plays on.
#include "TestSupport.h"

#include "app/DataControl.h"
#include "app/Database.h"
#include "app/Recordset.h"
#include "app/RunTimeError.h"
#include "app/basMain.h"
#include "app/frmMain.h"
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
        const QString right = w.data().recordset().FieldText(QStringLiteral("Answer1"));
        for (int i = 1; i <= 4; ++i)
            if (w.answerCaption(i) == right)
                return i;
    } catch (const RunTimeError &) {
    }
    return 0;
}

// Closes every high-scores window that opens, printing its first two ranks first.
void closeScoresWindows(QTextStream &out)
{
    if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
        if (auto *grid = dialog->findChild<QTableWidget *>(QStringLiteral("grdScores")))
            for (int row = 2; row <= 3; ++row)
                out << "GRID\t" << grid->item(row, 1)->text() << '\t' << grid->item(row, 2)->text() << '\t'
                    << grid->item(row, 3)->text() << '\n';
        dialog->reject();
    }
}

int playChildGame()
{
    qputenv("XDG_CONFIG_HOME", qgetenv(ChildConfig));
    basMain::DatabasePath = qEnvironmentVariable(ChildDatabase);
    QTextStream out(stdout);
    QTimer closer;
    closer.setInterval(5);
    QObject::connect(&closer, &QTimer::timeout, [&out] { closeScoresWindows(out); });
    closer.start();
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
        w.findChild<QAction *>(QStringLiteral("mnuGameNew"))->trigger(); // offers the results once more
        w.close();
    }
    for (const Shown &box : messages())
        out << "BOX\t" << box.title << '\t' << escaped(box.text) << '\n';
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
    QRandomGenerator random(seed);
    for (char &c : bytes)
        c = char(random.generate());
    return bytes;
}

// Rebuilds the question table without one column (the engine has no DROP COLUMN).
QString withoutColumn(const QString &column)
{
    QStringList kept{QStringLiteral("ID"), QStringLiteral("Question"), QStringLiteral("Answer1"), QStringLiteral("Answer2"),
                     QStringLiteral("Answer3"), QStringLiteral("Answer4"), QStringLiteral("Testament"),
                     QStringLiteral("Reference"), QStringLiteral("Sort")};
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
        QTest::addColumn<QStringList>("errors"); // the error boxes shown in the whole run, by their start
        QTest::addColumn<QString>("player");    // the name the status bar shows
        QTest::addColumn<QStringList>("ranks"); // ranks 1 and 2 of the high-scores window at the end
        QTest::addColumn<bool>("saved");        // the file holds the table afterwards

        const QString mine = QStringLiteral("Player 1\t150\t100");
        const QString none = QStringLiteral("\t\t");
        const QStringList noErrors;
        const QString writeError = QStringLiteral("Error #: 75\rCouldn't write the settings file '");
        QTest::newRow("random bytes") << "file" << noise(4096, 11) << noErrors << "Player 1" << QStringList{mine, none} << true;
        QTest::newRow("zero bytes") << "file" << QByteArray(4096, '\0') << noErrors << "Player 1" << QStringList{mine, none} << true;
        QTest::newRow("empty file") << "file" << QByteArray() << noErrors << "Player 1" << QStringList{mine, none} << true;
        QTest::newRow("truncated in a line")
            << "file" << QByteArray("[GameSettings]\nPlayer1=Ann\n[HighScores]\nName1=Bob\nScore1=400\nPercent1=90\nName2=Cy\nSco")
            << noErrors << "Ann" << QStringList{"Bob\t400\t90", "Ann\t150\t100"} << true;
        QTest::newRow("truncated in a character") << "file" << QByteArray("[GameSettings]\nPlayer1=Z\xc3") << noErrors
                                                  << "Z" << QStringList{"Z\t150\t100", none} << true;
        QTest::newRow("score as text") << "file" << QByteArray("[HighScores]\nName1=Bob\nScore1=abc\nName2=Cy\nScore2=90\n")
                                       << QStringList{"Error #: 13\rType mismatch"} << "Player 1" << QStringList{mine, none} << true;
        QTest::newRow("score beyond 16 bits") << "file" << QByteArray("[HighScores]\nName1=Bob\nScore1=99999\n")
                                              << QStringList{"Error #: 6\rOverflow"} << "Player 1" << QStringList{mine, none} << true;
        QTest::newRow("huge percent") << "file" << QByteArray("[HighScores]\nName1=Bob\nScore1=200\nPercent1=1e400\n")
                                      << QStringList{"Error #: 6\rOverflow"} << "Player 1" << QStringList{"Bob\t200\t0", mine} << true;
        QTest::newRow("negative score") << "file" << QByteArray("[HighScores]\nName1=Bob\nScore1=-5\nPercent1=10\n")
                                        << noErrors << "Player 1" << QStringList{mine, none} << true; // below the empty entries
        QTest::newRow("colour beyond 32 bits") << "file" << QByteArray("[GameSettings]\nPlayer1=Ann\nWinClr=1e10\n")
                                               << QStringList{"Error #: 6\rOverflow"} << "Ann" << QStringList{"Ann\t150\t100", none} << true;
        QTest::newRow("unreadable: a folder") << "folder" << QByteArray() << QStringList{writeError} << "Player 1"
                                              << QStringList{mine, none} << false;
        QTest::newRow("unreadable: a link to itself") << "loop" << QByteArray() << noErrors << "Player 1"
                                                      << QStringList{mine, none} << true;
        QTest::newRow("empty lock file of a killed save") << "lock" << QByteArray() << noErrors << "Player 1"
                                                          << QStringList{mine, none} << true;
        QTest::newRow("settings folder below a file") << "below file" << QByteArray() << QStringList{writeError}
                                                      << "Player 1" << QStringList{mine, none} << false;
    }
    // A settings file that is damaged, unreadable or cannot be written never stops a game: bad
    // values fall back to their defaults or are reported, a failed save is reported once per
    // run, and the results of the run stay in the high-score table.
    void damagedSettingsFallBackAndScoresSurvive()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, errors);
        QFETCH(QString, player);
        QFETCH(QStringList, ranks);
        QFETCH(bool, saved);

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
            const QStringList f = line.split(u'\t');
            if (f[0] == u"PLAYER")
                shownPlayer = f.value(1);
            else if (f[0] == u"GRID")
                grid << f.mid(1).join(u'\t');
            else if (f[0] == u"BOX" && f.value(1) == u"Error")
                shownErrors << f.mid(2).join(u'\t').replace(QStringLiteral("\\r"), QStringLiteral("\r"));
        }
        QCOMPARE(shownPlayer, player);
        QCOMPARE(shownErrors.size(), errors.size());
        for (int i = 0; i < errors.size(); ++i)
            QVERIFY2(shownErrors[i].startsWith(errors[i]), qPrintable(escaped(shownErrors[i])));
        // The game over, the High Scores command and the new game each showed the table; the
        // command's showing is the table after the game.
        QVERIFY2(grid.size() == 6, qPrintable(output));
        QCOMPARE(grid.mid(2, 2), ranks);

        if (saved) {
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
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("shown");  // the first error box at start-up ("" for none); %1 is the file
        QTest::addColumn<bool>("playable");  // a question can be answered right
        QTest::newRow("empty table") << "empty table" << "Error #: 3106\rNo current record." << false;
        QTest::newRow("random bytes") << "random" << "Error #: 3101\r'%1' is not a question database, or its password is wrong." << false;
        QTest::newRow("empty file") << "empty file" << "Error #: 3104\rThe database has no table 'tblQuillory'." << false;
        QTest::newRow("truncated to half") << "half" << "Error #: 3102\rThe database file is damaged. Try Repair Database on the Tools menu." << false;
        QTest::newRow("truncated in the first page") << "first page" << "Error #: 3101\r'%1' is not a question database, or its password is wrong." << false;
        QTest::newRow("wrong password") << "password" << "Error #: 3101\r'%1' is not a question database, or its password is wrong." << false;
        QTest::newRow("Null answer") << "null answer" << "Error #: 94\rInvalid use of Null" << false;
        QTest::newRow("Null reference") << "null reference" << "" << false;
        QTest::newRow("Null question") << "null question" << "" << true;
        QTest::newRow("answers of 10,000 characters") << "long" << "" << true;
        QTest::newRow("binary answers") << "binary" << "" << true;
        QTest::newRow("missing table") << "no table" << "Error #: 3104\rThe database has no table 'tblQuillory'." << false;
        QTest::newRow("missing column Answer3") << "no Answer3" << "Error #: 3105\rThe table 'tblQuillory' has no field 'Answer3'." << false;
        QTest::newRow("missing column Sort") << "no Sort" << "Error #: 3105\rThe table 'tblQuillory' has no field 'Sort'." << true;
        QTest::newRow("missing column Testament") << "no Testament" << "" << true;
        QTest::newRow("a folder") << "folder" << "Error #: 3103\rCouldn't find the database file '%1'." << false;
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
        if (fault == u"long") {
            for (QuestionRow &r : rows) {
                r.question = QString(10000, u'q');
                for (int i = 0; i < 4; ++i)
                    r.answers[std::size_t(i)] = QString(9999, QChar(u'a' + i)) + QString::number(i);
                r.reference = QString(10000, u'r');
            }
        }
        makeDatabase(path, rows, fault == u"password" ? QStringLiteral("not the password") : Password);
        QFile file(path);
        if (fault == u"empty table")
            execSql(path, QStringLiteral("DELETE FROM tblQuillory"));
        else if (fault == u"random")
            writeFile(path, noise(65536, 5));
        else if (fault == u"empty file")
            writeFile(path, {});
        else if (fault == u"half" || fault == u"first page")
            QVERIFY(file.resize(fault == u"half" ? file.size() / 2 : 500));
        else if (fault == u"null answer")
            execSql(path, QStringLiteral("UPDATE tblQuillory SET Answer2 = NULL"));
        else if (fault == u"null reference")
            execSql(path, QStringLiteral("UPDATE tblQuillory SET Reference = NULL"));
        else if (fault == u"null question")
            execSql(path, QStringLiteral("UPDATE tblQuillory SET Question = NULL"));
        else if (fault == u"binary")
            execSql(path, QStringLiteral("UPDATE tblQuillory SET Answer1 = x'00ff41fe0a', Answer2 = 42, Answer3 = 2.5"));
        else if (fault == u"no table")
            execSql(path, QStringLiteral("DROP TABLE tblQuillory"));
        else if (fault.startsWith(u"no "))
            execSql(path, withoutColumn(fault.mid(3)));
        else if (fault == u"folder") {
            QVERIFY(QFile::remove(path));
            QVERIFY(QDir().mkpath(path));
        }

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
        QStringList dialogs;
        {
            ModalCloser closer(&dialogs);
            for (int i = 1; i <= 4; ++i)
                button(window.get(), QStringLiteral("cmdAnswer%1").arg(i))->click();
            button(window.get(), QStringLiteral("cmdNewQuestion"))->click();
            window->findChild<QAction *>(QStringLiteral("mnuGameNew"))->trigger();
            window->findChild<QAction *>(QStringLiteral("mnuGameHighScores"))->trigger();
            window->grab();
        }
        QVERIFY(dialogs.contains(QStringLiteral("frmScores")));
        QVERIFY(window->isVisible());
        for (const Shown &box : messages())
            QVERIFY2(box.title == u"Error" ? box.style == 48 && box.text.startsWith(QStringLiteral("Error #: "))
                                           : box.text == u"Game Over!",
                     qPrintable(escaped(box.text)));
        QVERIFY2(messages().size() <= 8, qPrintable(escaped(errorTexts().join(u'|')))); // no storm of boxes
        qInfo("%s: %s", qPrintable(fault), qPrintable(escaped(atStart.value(0, QStringLiteral("(no error box)")))));
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

        // Every stretch of eight bytes of the file, to look the texts up in.
        QSet<quint64> windows;
        windows.reserve(raw.size());
        for (qsizetype i = 0; i + 8 <= raw.size(); ++i) {
            quint64 w;
            std::memcpy(&w, raw.constData() + i, 8);
            windows.insert(w);
        }
        int checked = 0;
        for (const QuestionRow &r : rows) {
            const QStringList texts{r.question, r.answers[0], r.answers[1], r.answers[2], r.answers[3], r.reference};
            for (const QString &text : texts) {
                // Texts shorter than eight bytes could turn up in the random bytes by chance.
                for (const QByteArray &bytes : {text.toUtf8(), QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2)}) {
                    if (bytes.size() < 8)
                        continue;
                    quint64 w;
                    std::memcpy(&w, bytes.constData(), 8);
                    QVERIFY2(!windows.contains(w) || !raw.contains(bytes), qPrintable(text));
                    ++checked;
                }
            }
        }
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
