// The main window as a player sees it: what each state shows, the commands of the menus,
// toolbar and keys, and the layout. The game's rules are tested on the session (tst_session).
#include "WindowFixture.h"

#include "app/frmMain.h"
#include "core/basMain.h"
#include "game/GameSession.h"
#include "scores/HighScoreTable.h"
#include "settings/PlaySettings.h"
#include "settings/SettingsStore.h"
#include "settings/basGame.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

using basGame::GameSettings;

class tst_MainWindow : public QObject
{
    Q_OBJECT

    WindowFixture f;

    static QString entry(int rank)
    {
        HighScoreTable t;
        t.LoadScores();
        const HighScore &e = t.Scores[rank - 1];
        return QStringLiteral("%1 %2 %3").arg(e.Name).arg(e.Score).arg(e.Percent);
    }
    bool answersEnabled() const { return f.child<QPushButton>(QStringLiteral("cmdAnswer1"))->isEnabled(); }
    bool newQuestionEnabled() const { return f.child<QPushButton>(QStringLiteral("cmdNewQuestion"))->isEnabled(); }

private slots:
    void init() { TestSupport::clearMessages(); }
    void cleanup()
    {
        f.close();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    // Question open, answered right, answered wrong, game over: labels, faces, hands, buttons
    // and the status bar of two players taking turns.
    void statesOfAGame()
    {
        f.start(3, {QStringLiteral("Ann"), QStringLiteral("Bob")}, true);
        QCOMPARE(f.panel(1) + u'|' + f.panel(2) + u'|' + f.panel(3) + u'|' + f.panel(4), QStringLiteral("Ann|Time: 0|Score: 0|0%"));
        QVERIFY(f.shown(QStringLiteral("imgFaceNeutral")) && !f.shown(QStringLiteral("lblResult")));
        QVERIFY(answersEnabled() && !newQuestionEnabled());

        const int right = f.button(true);
        f.answer(true);
        QCOMPARE(f.text(QStringLiteral("lblResult")), QStringLiteral("CORRECT"));
        QCOMPARE(f.text(QStringLiteral("lblPoints")), QStringLiteral("150 Points"));
        QVERIFY(f.text(QStringLiteral("lblReference")).startsWith(QStringLiteral("Genesis 1:")));
        QVERIFY(f.shown(QStringLiteral("imgFaceSmile")) && !f.shown(QStringLiteral("imgFaceNeutral")));
        QVERIFY(f.shown(QStringLiteral("imgHand%1").arg(right)));
        QVERIFY(!answersEnabled() && newQuestionEnabled());
        QCOMPARE(f.panel(3) + u'|' + f.panel(4), QStringLiteral("Score: 150|100%"));

        f.next();
        QCOMPARE(f.panel(1), QStringLiteral("Bob"));
        QVERIFY(!f.shown(QStringLiteral("lblResult")) && !f.shown(QStringLiteral("imgHand%1").arg(right)));
        f.game().tmrGame_Timer();
        QCOMPARE(f.panel(2), QStringLiteral("Time: 1"));
        f.answer(false);
        QCOMPARE(f.text(QStringLiteral("lblResult")) + u'|' + f.text(QStringLiteral("lblPoints")), QStringLiteral("WRONG|0 Points"));
        QVERIFY(f.shown(QStringLiteral("imgFaceFrown")) && f.shown(QStringLiteral("imgHand%1").arg(f.button(true))));
        QCOMPARE(f.panel(4), QStringLiteral("0%"));

        f.next();
        f.answer(true);
        const QString last = f.text(QStringLiteral("lblQuestion"));
        QCOMPARE(WindowFixture::dialogsOf([this] { f.next(); }), (QStringList{"frmScores", "frmReview"}));
        const TestSupport::Shown &box = TestSupport::messages().value(0);
        QCOMPARE(box.title + u'|' + box.text + u'|' + QString::number(box.style), QStringLiteral("Quillory|Game Over!|0"));
        QCOMPARE(f.text(QStringLiteral("lblQuestion")), last);
        QCOMPARE(f.panel(1), QStringLiteral("Ann")); // the last player stays in the status bar
        QVERIFY(!answersEnabled() && !newQuestionEnabled());
        QCOMPARE(entry(1), QStringLiteral("Ann 300 100"));
    }

    // New Game and Exit offer the results first, once; the close box ends without offering.
    void newGameExitAndTheCloseBox()
    {
        f.start(5, {QStringLiteral("Ann"), QStringLiteral("Bob")});
        f.answer(true);
        f.next();
        f.answer(true);
        QCOMPARE(WindowFixture::dialogsOf([this] { f.trigger(QStringLiteral("mnuGameNew")); }),
                 QStringList{QStringLiteral("frmScores")}); // once for two entries
        QCOMPARE(entry(2), QStringLiteral("Bob 50 100"));
        QCOMPARE(f.panel(1) + u'|' + f.panel(3), QStringLiteral("Ann|Score: 0"));
        f.answer(true);
        QCOMPARE(WindowFixture::dialogsOf([this] { f.trigger(QStringLiteral("mnuGameExit")); }), QStringList{QStringLiteral("frmScores")});
        QVERIFY(!f.window().isVisible());
        QCOMPARE(SettingsStore::GetSetting(QStringLiteral("GameSettings"), QStringLiteral("Player2"), {}), QStringLiteral("Bob"));

        f.start(2);
        f.answer(true);
        f.window().show();
        QVERIFY(WindowFixture::dialogsOf([this] { f.window().close(); }).isEmpty());
    }

    // No question of the chosen testament: the message, an empty question and nothing to click.
    void noQuestionLeavesNothingToAnswer()
    {
        f.start(3, {QStringLiteral("Ann")}, false, {QStringLiteral("OT")});
        GameSettings.Testament = basGame::Testament::New;
        f.trigger(QStringLiteral("mnuGameNew"));
        QCOMPARE(TestSupport::messages().value(0).text, GameSession::NoQuestionsText());
        QCOMPARE(f.text(QStringLiteral("lblQuestion")), QString());
        QVERIFY(!answersEnabled() && !newQuestionEnabled());
    }

    // A Null reference is reported and the result labels stay hidden.
    void nullReferenceHidesTheResult()
    {
        f.start(3);
        TestSupport::execSql(basMain::DatabasePath, QStringLiteral("UPDATE tblQuillory SET Reference = NULL"));
        f.window().StartNewGame();
        f.answer(true);
        QCOMPARE(TestSupport::errorTexts(), QStringList{QStringLiteral("Error #: 94\rInvalid use of Null")});
        QVERIFY(!f.shown(QStringLiteral("lblResult")));
        QVERIFY(newQuestionEnabled());
    }

    // The View items hide their bars without moving anything; the "Timed" button switches the
    // mode at once and twice back; Enter asks the next question and F2 starts a new game.
    void viewTimedAndKeys()
    {
        f.start(3);
        const QRect question = f.child<QGroupBox>(QStringLiteral("fraQuestion"))->geometry();
        const QSize size = f.window().size();
        for (const bool on : {false, true}) {
            for (const char *bar : {"Toolbar", "StatusBar"}) {
                auto *toggle = f.child<QAction>(QStringLiteral("mnuView") + QLatin1String(bar));
                QCOMPARE(toggle->isChecked(), !on);
                toggle->trigger();
                QCOMPARE(toggle->isChecked(), on);
            }
            QCOMPARE(f.shown(QStringLiteral("tlbToolbar")) && f.shown(QStringLiteral("staStatusBar")), on);
            QCOMPARE(f.child<QGroupBox>(QStringLiteral("fraQuestion"))->geometry(), question);
            QCOMPARE(f.window().size(), size);
        }
        auto *timed = f.child<QAction>(QStringLiteral("tlbButtonTimed"));
        for (int s = 0; s < 5; ++s)
            f.game().tmrGame_Timer();
        timed->trigger();
        QVERIFY(GameSettings.Timed && timed->isChecked());
        QCOMPARE(f.panel(2), QStringLiteral("Time: 5"));
        timed->trigger();
        QVERIFY(!GameSettings.Timed && !timed->isChecked());
        QCOMPARE(f.panel(2), QString());

        f.window().show();
        QVERIFY(QTest::qWaitForWindowActive(&f.window()));
        f.answer(false);
        const QString first = f.text(QStringLiteral("lblQuestion"));
        QTest::keyClick(&f.window(), Qt::Key_Return);
        QVERIFY(f.text(QStringLiteral("lblQuestion")) != first && answersEnabled());
        f.answer(false);
        QVERIFY(WindowFixture::dialogsOf([this] { QTest::keyClick(&f.window(), Qt::Key_F2); }).isEmpty());
        QCOMPARE(GameSettings.Players[1].Answered, 0);
    }

    // Keys 1 to 4 (top row and keypad) answer wherever the focus is, once; N or Space asks the
    // next question; P shows the passage, but only after the answer.
    void answerKeysAndThePassage()
    {
        f.start(6);
        f.window().show();
        QVERIFY(QTest::qWaitForWindowActive(&f.window()));
        QCOMPARE(f.text(QStringLiteral("lblKey3")), QStringLiteral("3"));
        f.child(QStringLiteral("cmdAnswer4"))->setFocus();
        QTest::keyClick(&f.window(), Qt::Key_P);
        QVERIFY(!f.shown(QStringLiteral("txtPassage"))); // no passage before the answer: it would tell it
        const QString second = f.game().answerText(2);
        QTest::keyClick(&f.window(), Qt::Key_2);
        QTest::keyClick(&f.window(), Qt::Key_1);
        QCOMPARE(GameSettings.Players[1].Answered, 1);
        QCOMPARE(f.game().Answers().value(0).given, second);
        QTest::keyClick(&f.window(), Qt::Key_P);
        QVERIFY(f.shown(QStringLiteral("txtPassage")));
        QVERIFY(f.text(QStringLiteral("txtPassage")).startsWith(f.game().Reference()));
        for (const auto next : {Qt::Key_N, Qt::Key_Space}) {
            const QString before = f.text(QStringLiteral("lblQuestion"));
            QTest::keyClick(&f.window(), next);
            QVERIFY(f.text(QStringLiteral("lblQuestion")) != before);
            QVERIFY(!f.shown(QStringLiteral("txtPassage")));
            QTest::keyClick(&f.window(), Qt::Key_3, Qt::KeypadModifier);
            QCOMPARE(f.game().state(), GameSession::State::Answered);
        }
        QCOMPARE(GameSettings.Players[1].Answered, 3);
    }

    // Zoom scales every control together, pictures and fonts too, from 100% to 300% and back to
    // exactly the design; in full screen on 1920 x 1080 the game is more than 2.5 times as large.
    void zoomScalesEverythingTogether()
    {
        f.start(2);
        auto geometryOf = [this](const char *name) { return f.child(QLatin1String(name))->geometry(); };
        const QRect answer = geometryOf("cmdAnswer1"), face = geometryOf("imgFaceNeutral");
        const qreal pointSize = f.child(QStringLiteral("cmdAnswer1"))->font().pointSizeF();
        QCOMPARE(answer, QRect(60, 130, 351, 25)); // twips 900, 1950, 5265, 375
        for (int i = 0; i < 12; ++i)
            f.trigger(QStringLiteral("mnuViewZoomIn"));
        QCOMPARE(PlaySettings::Play.Zoom, 300);
        QCOMPARE(geometryOf("cmdAnswer1"), QRect(180, 390, 1053, 75));
        QCOMPARE(f.child(QStringLiteral("cmdAnswer1"))->font().pointSizeF(), pointSize * 3);
        QCOMPARE(f.child<QLabel>(QStringLiteral("imgFaceNeutral"))->pixmap().size(), QSize(96, 96));
        QCOMPARE(geometryOf("imgFaceNeutral").size(), face.size() * 3);
        f.trigger(QStringLiteral("mnuViewZoomOut"));
        QCOMPARE(PlaySettings::Play.Zoom, 275);
        f.trigger(QStringLiteral("mnuViewActualSize"));
        QCOMPARE(geometryOf("cmdAnswer1"), answer);
        QCOMPARE(f.child(QStringLiteral("cmdAnswer1"))->font().pointSizeF(), pointSize);
        QVERIFY(frmMain::FullScreenZoom(QSize(1920, 1080), frmMain::PassageHeight) >= 2.5);
        f.window().show();
        QVERIFY(QTest::qWaitForWindowActive(&f.window()));
        f.trigger(QStringLiteral("mnuViewFullScreen"));
        QVERIFY(f.window().isFullScreen() && PlaySettings::Play.FullScreen);
        QVERIFY(geometryOf("cmdAnswer1").height() > answer.height());
        QTest::keyClick(&f.window(), Qt::Key_Escape);
        QVERIFY(!f.window().isFullScreen() && !PlaySettings::Play.FullScreen);
        QCOMPARE(geometryOf("cmdAnswer1"), answer);
    }

    // What only the drawn window shows: the question clear of its frame's line even at three
    // lines, the toolbar's buttons inside its band, the status panels side by side, and the
    // pressed "Timed" button plainly darker than when it is up.
    void layoutKeepsEverythingInItsPlace()
    {
        f.start(2);
        f.window().show();
        const auto *frame = f.child<QGroupBox>(QStringLiteral("fraQuestion"));
        auto *question = f.child<QLabel>(QStringLiteral("lblQuestion"));
        QVERIFY(question->y() > frame->fontMetrics().height() / 2 + 1);
        question->setText(QStringLiteral("Complete Jahaziel's word to Jehoshaphat: \"Be not afraid nor dismayed by reason of this "
                                         "great multitude; for the battle is not yours, but ...\""));
        QVERIFY(question->heightForWidth(question->width()) <= question->height());
        QVERIFY(question->geometry().bottom() < frame->height() - 2);
        auto *bar = f.child<QToolBar>(QStringLiteral("tlbToolbar"));
        for (const QToolButton *b : bar->findChildren<QToolButton *>())
            if (b->isVisible())
                QVERIFY2(bar->rect().contains(b->geometry()), qPrintable(b->text()));
        QRect previous;
        for (int i = 1; i <= 4; ++i) {
            const QRect g = f.child<QLabel>(QStringLiteral("staStatusBarPanel%1").arg(i))->geometry();
            QVERIFY(f.child(QStringLiteral("staStatusBar"))->rect().contains(g) && g.left() > previous.right());
            previous = g;
        }
        QWidget *timed = bar->widgetForAction(f.child<QAction>(QStringLiteral("tlbButtonTimed")));
        auto lightness = [timed] {
            const QImage image = timed->grab().toImage();
            qint64 sum = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    sum += image.pixelColor(x, y).lightness();
            return sum / (image.width() * image.height());
        };
        const qint64 up = lightness();
        f.trigger(QStringLiteral("tlbButtonTimed"));
        QVERIFY(lightness() < up - 30);
    }

    // Compact and Repair start a new game on the maintained file; a file that went away and
    // came back, or was replaced, is dealt from at the next new game.
    void maintenanceAndAFileThatComesBack()
    {
        f.start(4);
        f.answer(true);
        f.trigger(QStringLiteral("mnuToolsCompactDatabase"));
        QCOMPARE(TestSupport::messages().value(0).title + u'|' + TestSupport::messages().value(0).text,
                 QStringLiteral("Compact Database|Successfully compacted the '%1' database.").arg(basMain::DatabasePath));
        QCOMPARE(GameSettings.Players[1].Answered, 0);
        QVERIFY(answersEnabled());
        TestSupport::clearMessages();
        f.trigger(QStringLiteral("mnuToolsRepairDatabase"));
        QCOMPARE(TestSupport::messages().value(0).title, QStringLiteral("Repair Database"));

        const QString moved = basMain::DatabasePath + QStringLiteral(".away");
        QVERIFY(QFile::rename(basMain::DatabasePath, moved));
        TestSupport::clearMessages();
        f.trigger(QStringLiteral("mnuToolsCompactDatabase"));
        QVERIFY(!TestSupport::errorTexts().isEmpty());
        for (int i = 1; i <= 4; ++i)
            f.child<QPushButton>(QStringLiteral("cmdAnswer%1").arg(i))->click();
        QVERIFY(QFile::rename(moved, basMain::DatabasePath));
        TestSupport::clearMessages();
        f.trigger(QStringLiteral("mnuGameNew"));
        QVERIFY(TestSupport::messages().isEmpty());
        f.answer(true);
        QCOMPARE(f.panel(3), QStringLiteral("Score: 50"));

        TestSupport::makeDatabase(moved, TestSupport::sampleRows(2));
        TestSupport::execSql(moved, QStringLiteral("UPDATE tblQuillory SET Question = 'Replaced ' || Question"));
        QVERIFY(QFile::remove(basMain::DatabasePath) && QFile::rename(moved, basMain::DatabasePath));
        WindowFixture::dialogsOf([this] { f.trigger(QStringLiteral("mnuGameNew")); });
        QVERIFY(f.text(QStringLiteral("lblQuestion")).startsWith(QStringLiteral("Replaced Question ")));
    }
};

QUILLORY_TEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
