// The main window driven as a player would: whole games, answers, timing, menus and toolbar.
#include "TestSupport.h"

#include "db/DataControl.h"
#include "db/Recordset.h"
#include "settings/SettingsStore.h"
#include "settings/basGame.h"
#include "core/basMain.h"
#include "app/frmMain.h"
#include "scores/HighScoreTable.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <functional>
#include <memory>

using basGame::GameSettings;

class tst_MainWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<frmMain> window;

    // A window on a fresh database of `rows` sample questions, with the given players.
    frmMain &start(int rows, const QStringList &players = {QStringLiteral("Ann")}, bool timed = false,
                   const QStringList &testaments = {QStringLiteral("OT"), QStringLiteral("NT")})
    {
        static int n = 0;
        basMain::DatabasePath = TestSupport::makeDatabase(dir.filePath(QStringLiteral("q%1.mdb").arg(++n)),
                                                          TestSupport::sampleRows(rows, testaments));
        TestSupport::clearSettings();
        const QString section = QStringLiteral("GameSettings");
        SettingsStore::SaveSetting(section, QStringLiteral("PlayerCnt"), QString::number(players.size()));
        for (int i = 0; i < players.size(); ++i)
            SettingsStore::SaveSetting(section, QStringLiteral("Player%1").arg(i + 1), players[i]);
        SettingsStore::SaveSetting(section, QStringLiteral("Timed"), timed ? QStringLiteral("True") : QStringLiteral("False"));
        GameSettings = {};
        window = std::make_unique<frmMain>();
        window->Form_Load();
        return *window;
    }

    template <class T>
    T *child(const QString &name) const
    {
        T *w = window->findChild<T *>(name);
        if (!w)
            qFatal("no child %s", qPrintable(name));
        return w;
    }
    QString text(const QString &label) const { return child<QLabel>(label)->text(); }
    QString panel(int i) const { return text(QStringLiteral("staStatusBarPanel%1").arg(i)); }
    bool shown(const QString &name) const { return !child<QWidget>(name)->isHidden(); }
    QAction *action(const QString &name) const { return child<QAction>(name); }

    // The button carrying the right answer ("Right k" in the sample), or a wrong one.
    int button(bool right) const
    {
        for (int i = 1; i <= 4; ++i)
            if (window->answerCaption(i).startsWith(QStringLiteral("Right")) == right)
                return i;
        qFatal("no such answer");
    }
    void answer(bool right) { child<QPushButton>(QStringLiteral("cmdAnswer%1").arg(button(right)))->click(); }
    void next() { child<QPushButton>(QStringLiteral("cmdNewQuestion"))->click(); }
    QString currentQuestion() const { return text(QStringLiteral("lblQuestion")); }

    // Rank `rank` of the stored high-score table as "name score percent".
    static QString entry(int rank)
    {
        HighScoreTable t;
        t.LoadScores();
        const HighScore &e = t.Scores[rank];
        return QStringLiteral("%1 %2 %3").arg(e.Name).arg(e.Score).arg(e.Percent);
    }
    // Runs `act` closing every dialog it opens; returns their names.
    static QStringList dialogsOf(const std::function<void()> &act)
    {
        QStringList dialogs;
        TestSupport::ModalCloser closer(&dialogs);
        act();
        return dialogs;
    }

private slots:
    void init() { TestSupport::clearMessages(); TestSupport::clearSettings(); }
    void cleanup() { window.reset(); QVERIFY(QApplication::topLevelWidgets().isEmpty()); }

    void onePlayerPlaysToGameOverAndEntersTheTable()
    {
        frmMain &w = start(3);
        QCOMPARE(panel(1), QStringLiteral("Ann"));
        QCOMPARE(panel(2), QString());
        QCOMPARE(panel(3), QStringLiteral("Score: 0"));
        QCOMPARE(panel(4), QStringLiteral("0%"));
        QVERIFY(shown(QStringLiteral("imgFaceNeutral")));
        QVERIFY(!child<QPushButton>(QStringLiteral("cmdNewQuestion"))->isEnabled());
        QVERIFY(!shown(QStringLiteral("lblResult")));

        QStringList asked;
        for (int q = 1; q <= 3; ++q) {
            asked << currentQuestion();
            const int clicked = button(true);
            answer(true);
            QCOMPARE(text(QStringLiteral("lblResult")), QStringLiteral("CORRECT"));
            QCOMPARE(text(QStringLiteral("lblPoints")), QStringLiteral("50 Points"));
            QVERIFY(text(QStringLiteral("lblReference")).startsWith(QStringLiteral("Genesis 1:")));
            QVERIFY(shown(QStringLiteral("imgFaceSmile")) && !shown(QStringLiteral("imgFaceNeutral")));
            QVERIFY(shown(QStringLiteral("imgHand%1").arg(clicked)));
            for (int i = 1; i <= 4; ++i)
                QVERIFY(!child<QPushButton>(QStringLiteral("cmdAnswer%1").arg(i))->isEnabled());
            QCOMPARE(panel(3), QStringLiteral("Score: %1").arg(50 * q));
            QCOMPARE(panel(4), QStringLiteral("100%"));
            if (q < 3) {
                next();
                QVERIFY(!shown(QStringLiteral("lblResult")) && !shown(QStringLiteral("imgHand%1").arg(clicked)));
                QVERIFY(shown(QStringLiteral("imgFaceNeutral")));
            }
        }
        QCOMPARE(QSet<QString>(asked.begin(), asked.end()).size(), 3); // every question once

        QCOMPARE(dialogsOf([this] { next(); }), QStringList{QStringLiteral("frmScores")});
        QCOMPARE(TestSupport::messages().size(), 1);
        const TestSupport::Shown &box = TestSupport::messages()[0];
        QCOMPARE(box.title + u'|' + box.text + u'|' + QString::number(box.style), QStringLiteral("Quillory|Game Over!|0"));
        QCOMPARE(entry(0), QStringLiteral("Ann 150 100"));
        QVERIFY(!child<QPushButton>(QStringLiteral("cmdNewQuestion"))->isEnabled());
        QVERIFY(!child<QTimer>(QStringLiteral("tmrGame"))->isActive());
        QVERIFY(w.scored());
    }

    void threePlayersTakeTurnsAndAllWrongOffersNothing()
    {
        start(7, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        QStringList turns;
        for (int q = 1; q <= 7; ++q) {
            turns << panel(1);
            answer(false);
            QCOMPARE(text(QStringLiteral("lblResult")), QStringLiteral("WRONG"));
            QCOMPARE(text(QStringLiteral("lblPoints")), QStringLiteral("0 Points"));
            QVERIFY(shown(QStringLiteral("imgFaceFrown")));
            QVERIFY(shown(QStringLiteral("imgHand%1").arg(button(true)))); // the hand points at the right one
            QVERIFY(!shown(QStringLiteral("imgHand%1").arg(button(false))));
            QCOMPARE(panel(4), QStringLiteral("0%"));
            if (q < 7)
                next();
        }
        QCOMPARE(turns, (QStringList{"A", "B", "C", "A", "B", "C", "A"}));
        QVERIFY(dialogsOf([this] { next(); }).isEmpty());
        QCOMPARE(panel(1), QStringLiteral("A")); // the last player stays in the status bar
        QCOMPARE(GameSettings.Players[1].Answered, qint16(3));
        QVERIFY(entry(0).endsWith(QStringLiteral(" 0 0")));
    }

    void percentageAndScoreFollowTheAnswers()
    {
        start(5);
        answer(true);
        next();
        answer(false);
        next();
        answer(true);
        QCOMPARE(panel(3), QStringLiteral("Score: 100"));
        QCOMPARE(panel(4), QStringLiteral("67%"));
        QCOMPARE(GameSettings.Players[1].Answered, qint16(3));
        QCOMPARE(GameSettings.Players[1].Correct, qint16(2));
    }

    void finishedGameIsOfferedOnceAndKeepsItsLastQuestion()
    {
        start(3, {QStringLiteral("Ann")}, false, {QStringLiteral("OT"), QStringLiteral("NT"), QStringLiteral("OT")});
        GameSettings.Testament = QStringLiteral("OT");
        window->StartNewGame();
        QString last;
        while (child<QPushButton>(QStringLiteral("cmdAnswer1"))->isEnabled()) {
            last = currentQuestion();
            answer(true);
            if (dialogsOf([this] { next(); }).contains(QStringLiteral("frmScores")))
                break;
        }
        QCOMPARE(currentQuestion(), last); // not the deck's last row, which may be of the other testament
        QCOMPARE(entry(0), QStringLiteral("Ann 100 100"));
        for (const char *command : {"mnuGameNew", "mnuGameExit"})
            QVERIFY(dialogsOf([&] { action(QLatin1String(command))->trigger(); }).isEmpty());
        QCOMPARE(entry(1), QStringLiteral(" 0 0")); // entered once, not again by New Game or Exit
    }

    void testamentHoldsFromTheFirstQuestion()
    {
        // One Old Testament row among five: every game opens with it.
        start(5, {QStringLiteral("Ann")}, false, {QStringLiteral("NT"), QStringLiteral("NT"), QStringLiteral("OT"), QStringLiteral("NT"), QStringLiteral("NT")});
        GameSettings.Testament = QStringLiteral("OT");
        for (int game = 0; game < 8; ++game) {
            window->StartNewGame();
            QCOMPARE(currentQuestion(), QStringLiteral("Question 3"));
        }
        // None of the chosen testament: a plain message, and no question of the other one.
        GameSettings.Testament = QStringLiteral("NT");
        TestSupport::execSql(basMain::DatabasePath, QStringLiteral("UPDATE tblQuillory SET Testament = 'OT'"));
        TestSupport::clearMessages();
        window->StartNewGame();
        QCOMPARE(TestSupport::messages().size(), 1);
        QVERIFY(TestSupport::messages()[0].text.startsWith(QStringLiteral("The question database holds no New Testament questions.")));
        QCOMPARE(currentQuestion(), QString());
        QVERIFY(!child<QPushButton>(QStringLiteral("cmdAnswer1"))->isEnabled());
        QVERIFY(!child<QTimer>(QStringLiteral("tmrGame"))->isActive());
    }

    void scoresGoBeyondSixteenBits()
    {
        start(2, {QStringLiteral("Ann")}, true);
        GameSettings.Players[1].Score = 32700;
        answer(true);
        QVERIFY(TestSupport::messages().isEmpty());
        QCOMPARE(panel(3), QStringLiteral("Score: 32850"));
        QCOMPARE(text(QStringLiteral("lblPoints")), QStringLiteral("150 Points"));
        next();
        answer(false);
        QVERIFY(dialogsOf([this] { next(); }).contains(QStringLiteral("frmScores")));
        QCOMPARE(entry(0), QStringLiteral("Ann 32850 50"));
    }

    void timedPointsFollowTheSecondsTaken_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("points");
        for (auto [seconds, points] : std::initializer_list<std::pair<int, const char *>>{{0, "150"}, {3, "150"}, {4, "100"}, {9, "50"}, {10, "25"}})
            QTest::addRow("%d", seconds) << seconds << QStringLiteral("%1 Points").arg(QLatin1String(points));
    }
    void timedPointsFollowTheSecondsTaken()
    {
        QFETCH(int, seconds);
        frmMain &w = start(2, {QStringLiteral("Ann")}, true);
        QCOMPARE(panel(2), QStringLiteral("Time: 0"));
        QVERIFY(action(QStringLiteral("tlbButtonTimed"))->isChecked());
        for (int s = 0; s < seconds; ++s)
            w.tmrGame_Timer();
        QCOMPARE(panel(2), QStringLiteral("Time: %1").arg(seconds));
        answer(true);
        QTEST(text(QStringLiteral("lblPoints")), "points");
        w.tmrGame_Timer(); // the timer is off after an answer; a stray tick cannot change the result
        QCOMPARE(w.seconds(), seconds + 1);
        QTEST(text(QStringLiteral("lblPoints")), "points");
        next();
        QCOMPARE(panel(2), QStringLiteral("Time: 0"));
    }

    void untimedCountsUnseenAndSwitchingShowsTheCount()
    {
        frmMain &w = start(2);
        for (int s = 0; s < 5; ++s)
            w.tmrGame_Timer();
        QCOMPARE(panel(2), QString());
        QAction *timed = action(QStringLiteral("tlbButtonTimed"));
        timed->trigger();
        QVERIFY(GameSettings.Timed && timed->isChecked());
        QCOMPARE(panel(2), QStringLiteral("Time: 5"));
        timed->trigger();
        QVERIFY(!GameSettings.Timed && !timed->isChecked());
        QCOMPARE(panel(2), QString());
        timed->trigger();
        answer(true);
        QCOMPARE(text(QStringLiteral("lblPoints")), QStringLiteral("100 Points")); // graded by the mode in force
    }

    void answersAreComparedExactlyWithTheFirst()
    {
        // A wrong answer equal to the right one counts as right and gets a hand too; one that
        // differs only in letter case counts as wrong.
        start(1);
        TestSupport::execSql(basMain::DatabasePath,
                             QStringLiteral("UPDATE tblQuillory SET Answer2 = Answer1, Answer3 = lower(Answer1)"));
        auto clickCaption = [this](const QString &caption) {
            for (int i = 1; i <= 4; ++i)
                if (window->answerCaption(i) == caption) {
                    child<QPushButton>(QStringLiteral("cmdAnswer%1").arg(i))->click();
                    return;
                }
            QFAIL("caption not dealt");
        };
        window->StartNewGame();
        clickCaption(QStringLiteral("Right 1"));
        QCOMPARE(text(QStringLiteral("lblResult")), QStringLiteral("CORRECT"));
        int hands = 0;
        for (int i = 1; i <= 4; ++i)
            hands += shown(QStringLiteral("imgHand%1").arg(i));
        QCOMPARE(hands, 2);

        window->StartNewGame();
        clickCaption(QStringLiteral("right 1"));
        QCOMPARE(text(QStringLiteral("lblResult")), QStringLiteral("WRONG"));
    }

    void nullsInARowAreReported()
    {
        start(3);
        TestSupport::execSql(basMain::DatabasePath, QStringLiteral("UPDATE tblQuillory SET Reference = NULL"));
        window->StartNewGame();
        QVERIFY(TestSupport::messages().isEmpty());
        answer(true);
        QCOMPARE(TestSupport::errorTexts(), QStringList{QStringLiteral("Error #: 94\rInvalid use of Null")});
        QVERIFY(!shown(QStringLiteral("lblResult")));

        TestSupport::execSql(basMain::DatabasePath, QStringLiteral("UPDATE tblQuillory SET Answer3 = NULL"));
        TestSupport::clearMessages();
        const QString before = window->answerCaption(1);
        next();
        QCOMPARE(TestSupport::errorTexts(), QStringList{QStringLiteral("Error #: 94\rInvalid use of Null")});
        QCOMPARE(window->answerCaption(1), before); // the buttons keep the last question's answers
    }

    void newGameAndExitOfferResultsButTheCloseBoxDoesNot()
    {
        start(5, {QStringLiteral("Ann"), QStringLiteral("Bob")});
        answer(true);
        next();
        answer(true);
        QCOMPARE(dialogsOf([this] { action(QStringLiteral("mnuGameNew"))->trigger(); }),
                 QStringList{QStringLiteral("frmScores")}); // once for two entries
        QCOMPARE(entry(0), QStringLiteral("Ann 50 100"));
        QCOMPARE(entry(1), QStringLiteral("Bob 50 100"));
        QCOMPARE(panel(3), QStringLiteral("Score: 0"));
        QCOMPARE(window->currentPlayer(), 1);

        answer(true);
        QCOMPARE(dialogsOf([this] { action(QStringLiteral("mnuGameExit"))->trigger(); }), QStringList{QStringLiteral("frmScores")});
        QVERIFY(!window->isVisible());
        QCOMPARE(SettingsStore::GetSetting(QStringLiteral("GameSettings"), QStringLiteral("Player2"), {}), QStringLiteral("Bob"));

        start(2);
        answer(true);
        window->show();
        QVERIFY(dialogsOf([this] { window->close(); }).isEmpty());
    }

    // What only the drawn window shows: the question clear of its frame's line even at three
    // lines, the toolbar's buttons inside its band, the status panels side by side.
    void layoutKeepsEverythingInItsPlace()
    {
        start(2);
        window->show();
        const auto *frame = child<QGroupBox>(QStringLiteral("fraQuestion"));
        auto *question = child<QLabel>(QStringLiteral("lblQuestion"));
        QVERIFY(question->y() > frame->fontMetrics().height() / 2 + 1);
        question->setText(QStringLiteral("Complete Jahaziel's word to Jehoshaphat: \"Be not afraid nor dismayed by reason of this "
                                         "great multitude; for the battle is not yours, but ...\""));
        QVERIFY2(question->heightForWidth(question->width()) <= question->height(),
                 qPrintable(QStringLiteral("%1 > %2 in %3").arg(question->heightForWidth(question->width())).arg(question->height()).arg(question->font().family())));
        QVERIFY(question->geometry().bottom() < frame->height() - 2);
        const QWidget *bar = child<QWidget>(QStringLiteral("tlbToolbar"));
        for (const QToolButton *b : bar->findChildren<QToolButton *>())
            if (b->isVisible())
                QVERIFY2(bar->rect().contains(b->geometry()), qPrintable(b->text() + QStringLiteral(" %1,%2 %3x%4 in %5x%6").arg(b->x()).arg(b->y()).arg(b->width()).arg(b->height()).arg(bar->width()).arg(bar->height())));
        const QWidget *status = child<QWidget>(QStringLiteral("staStatusBar"));
        QRect previous;
        for (int i = 1; i <= 4; ++i) {
            const QRect g = child<QLabel>(QStringLiteral("staStatusBarPanel%1").arg(i))->geometry();
            QVERIFY(status->rect().contains(g) && !g.intersects(previous) && g.left() > previous.right());
            previous = g;
        }
        // The pressed "Timed" button is drawn plainly darker than when it is up.
        QWidget *timed = child<QToolBar>(QStringLiteral("tlbToolbar"))->widgetForAction(action(QStringLiteral("tlbButtonTimed")));
        auto lightness = [timed] {
            const QImage image = timed->grab().toImage();
            qint64 sum = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    sum += image.pixelColor(x, y).lightness();
            return sum / (image.width() * image.height());
        };
        const qint64 up = lightness();
        action(QStringLiteral("tlbButtonTimed"))->trigger();
        QVERIFY2(lightness() < up - 30, qPrintable(QStringLiteral("%1 -> %2").arg(up).arg(lightness())));
    }

    void viewTogglesHideBarsWithoutMovingAnything()
    {
        start(2);
        const QRect question = child<QGroupBox>(QStringLiteral("fraQuestion"))->geometry();
        const QSize size = window->size();
        for (bool on : {false, true}) {
            for (const char *bar : {"Toolbar", "StatusBar"}) {
                QAction *toggle = action(QStringLiteral("mnuView") + QLatin1String(bar));
                QCOMPARE(toggle->isChecked(), !on);
                toggle->trigger();
                QCOMPARE(toggle->isChecked(), on);
            }
            QCOMPARE(shown(QStringLiteral("tlbToolbar")), on);
            QCOMPARE(shown(QStringLiteral("staStatusBar")), on);
            QCOMPARE(child<QGroupBox>(QStringLiteral("fraQuestion"))->geometry(), question);
            QCOMPARE(window->size(), size);
        }
    }

    void keysReachTheirCommands()
    {
        start(3);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        answer(false);
        const QString first = currentQuestion();
        QTest::keyClick(window.get(), Qt::Key_Return); // Enter = New Question
        QVERIFY(currentQuestion() != first);
        QVERIFY(child<QPushButton>(QStringLiteral("cmdAnswer1"))->isEnabled());
        answer(false);
        QVERIFY(dialogsOf([this] { QTest::keyClick(window.get(), Qt::Key_F2); }).isEmpty()); // F2: new game, nobody scored
        QCOMPARE(GameSettings.Players[1].Answered, qint16(0));
    }

    void secondsCountStopsAtItsLimit()
    {
        frmMain &w = start(1);
        for (int s = 0; s < 32767; ++s)
            w.tmrGame_Timer();
        QCOMPARE(w.seconds(), 32767);
        w.tmrGame_Timer();
        QCOMPARE(w.seconds(), 32767);
        QVERIFY(!child<QTimer>(QStringLiteral("tmrGame"))->isActive());
        QVERIFY(TestSupport::messages().isEmpty());
    }

    void maintenanceCommandsStartANewGameOnTheMaintainedFile()
    {
        start(4);
        answer(true);
        action(QStringLiteral("mnuToolsCompactDatabase"))->trigger();
        QCOMPARE(TestSupport::messages().size(), 1);
        QCOMPARE(TestSupport::messages()[0].title + u'|' + TestSupport::messages()[0].text,
                 QStringLiteral("Compact Database|Successfully compacted the '%1' database.").arg(basMain::DatabasePath));
        QCOMPARE(GameSettings.Players[1].Answered, qint16(0));
        QVERIFY(currentQuestion().startsWith(QStringLiteral("Question ")));
        answer(true);
        QCOMPARE(panel(3), QStringLiteral("Score: 50"));

        TestSupport::clearMessages();
        action(QStringLiteral("mnuToolsRepairDatabase"))->trigger();
        QCOMPARE(TestSupport::messages().value(0).title, QStringLiteral("Repair Database"));
        QCOMPARE(GameSettings.Players[1].Answered, qint16(0));

        // A database that vanished: the command reports it, and so does the new game; no crash.
        const QString moved = basMain::DatabasePath + QStringLiteral(".away");
        QVERIFY(QFile::rename(basMain::DatabasePath, moved));
        TestSupport::clearMessages();
        action(QStringLiteral("mnuToolsCompactDatabase"))->trigger();
        QVERIFY(!TestSupport::errorTexts().isEmpty());
        for (int i = 1; i <= 4; ++i)
            child<QPushButton>(QStringLiteral("cmdAnswer%1").arg(i))->click();
        // Back in place, or replaced by another file: the next new game deals from it.
        QVERIFY(QFile::rename(moved, basMain::DatabasePath));
        TestSupport::clearMessages();
        action(QStringLiteral("mnuGameNew"))->trigger();
        QVERIFY(TestSupport::messages().isEmpty());
        answer(true);
        QCOMPARE(panel(3), QStringLiteral("Score: 50"));
        TestSupport::makeDatabase(moved, TestSupport::sampleRows(2));
        TestSupport::execSql(moved, QStringLiteral("UPDATE tblQuillory SET Question = 'Replaced ' || Question"));
        QVERIFY(QFile::remove(basMain::DatabasePath) && QFile::rename(moved, basMain::DatabasePath));
        dialogsOf([this] { action(QStringLiteral("mnuGameNew"))->trigger(); });
        QVERIFY(currentQuestion().startsWith(QStringLiteral("Replaced Question ")));
    }
};

QUILLORY_TEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
