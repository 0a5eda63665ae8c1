// The game session without windows: turns, the testament, judging, points and counters, the
// seconds, the end of the deck and the offer to the high-score table.
#include "TestSupport.h"

#include "core/basMain.h"
#include "db/DataControl.h"
#include "db/Recordset.h"
#include "game/GameRules.h"
#include "game/GameSession.h"
#include "scores/HighScoreTable.h"
#include "settings/PlaySettings.h"
#include "settings/basGame.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

using basGame::GameSettings;
using State = GameSession::State;

class tst_Session : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<GameSession> game;

    // A session on a fresh database of `rows` sample questions ("Right k" is question k's answer).
    GameSession &start(int rows, int players = 1, bool timed = false, basGame::Testament testament = basGame::Testament::Both,
                       const QStringList &tags = {QStringLiteral("OT"), QStringLiteral("NT")})
    {
        static int n = 0;
        GameSettings = {};
        GameSettings.PlayerCnt = qint16(players);
        GameSettings.Testament = testament;
        GameSettings.Timed = timed;
        for (int i = 1; i <= basGame::MaxPlayers; ++i)
            GameSettings.Players[i].Name = QStringLiteral("P%1").arg(i);
        game = std::make_unique<GameSession>();
        game->data().DatabaseName = TestSupport::makeDatabase(dir.filePath(QStringLiteral("s%1.mdb").arg(++n)),
                                                              TestSupport::sampleRows(rows, tags));
        game->data().Refresh();
        game->StartNewGame();
        return *game;
    }
    int button(bool right) const
    {
        for (int i = 1; i <= 4; ++i)
            if (game->answerText(i).startsWith(QStringLiteral("Right")) == right)
                return i;
        return 0;
    }
    QString question() const { return game->data().recordset().FieldText(QStringLiteral("Question")); }
    static QString entry(int rank)
    {
        HighScoreTable t;
        t.LoadScores();
        const HighScore &e = t.Scores[rank - 1];
        return QStringLiteral("%1 %2 %3").arg(e.Name).arg(e.Score).arg(e.Percent);
    }

private slots:
    void init()
    {
        TestSupport::clearMessages();
        TestSupport::clearSettings();
    }

    void wholeGames_data()
    {
        QTest::addColumn<int>("players");
        QTest::addColumn<bool>("timed");
        QTest::addColumn<int>("rows");
        for (int players = 1; players <= 4; ++players)
            for (const bool timed : {false, true})
                QTest::addRow("%d player(s), %s", players, timed ? "timed" : "flat") << players << timed << 2 * players + 3;
    }
    // Every question once, the turn passing with every question dealt, points by mode and
    // seconds, counters and percentage per player; the game ends on the last question asked
    // and its results are offered to the high-score table once.
    void wholeGames()
    {
        QFETCH(int, players);
        QFETCH(bool, timed);
        QFETCH(int, rows);
        GameSession &g = start(rows, players, timed);
        QSignalSpy over(&g, &GameSession::gameOver);
        QStringList asked;
        QList<int> turns;
        for (int q = 0; g.state() == State::QuestionOpen; ++q) {
            asked << question();
            turns << g.currentPlayer();
            QVERIFY(g.timerRunning());
            for (int s = 0; s < q; ++s) // question q takes q seconds
                g.tmrGame_Timer();
            const bool right = q % 3 != 1;
            g.Answer(button(right));
            QVERIFY(!g.timerRunning());
            QCOMPARE(g.state(), State::Answered);
            g.Answer(button(!right)); // a second answer to the same question counts for nothing
            const basGame::PlayerRecord &p = GameSettings.Players[g.currentPlayer()];
            QCOMPARE(p.Points, right ? GameRules::PointsFor(true, timed, qint16(q)) : 0);
            g.NextQuestion();
        }
        QCOMPARE(g.state(), State::GameOver);
        QCOMPARE(over.count(), 1);
        QCOMPARE(QSet<QString>(asked.begin(), asked.end()).size(), rows);
        QCOMPARE(question(), asked.last());
        for (int q = 0; q < rows; ++q)
            QCOMPARE(turns[q], q % players + 1);
        int answered = 0;
        for (int i = 1; i <= 4; ++i)
            answered += GameSettings.Players[i].Answered;
        QCOMPARE(answered, rows);
        const basGame::PlayerRecord &first = GameSettings.Players[1];
        QCOMPARE(first.Percent, GameRules::PercentCorrect(first.Correct, first.Answered));

        QVERIFY(g.HighScoreAchieved());
        QVERIFY(!g.HighScoreAchieved()); // offered once: New Game, Exit or a change of players after it add nothing
        QVERIFY(entry(1).startsWith(u'P'));
        g.StartNewGame();
        QCOMPARE(g.currentPlayer(), 1);
        QCOMPARE(GameSettings.Players[players].Answered, 0);
        QVERIFY(!g.HighScoreAchieved()); // nobody has scored yet
    }

    void timedPointsFollowTheSeconds_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("points");
        for (auto [seconds, points] : {std::pair{0, 150}, {3, 150}, {4, 100}, {6, 100}, {7, 50}, {9, 50}, {10, 25}, {600, 25}})
            QTest::addRow("%d s", seconds) << seconds << points;
    }
    // Switching the mode while a question is open keeps its count and grades by the mode in force.
    void timedPointsFollowTheSeconds()
    {
        QFETCH(int, seconds);
        GameSession &g = start(2);
        QSignalSpy ticks(&g, &GameSession::secondsChanged);
        for (int s = 0; s < seconds; ++s)
            g.tmrGame_Timer();
        QCOMPARE(ticks.count(), seconds);
        g.SetTimedGame(true);
        QCOMPARE(g.seconds(), seconds);
        g.Answer(button(true));
        QTEST(int(GameSettings.Players[1].Points), "points");
        g.NextQuestion();
        QCOMPARE(g.seconds(), 0);
        g.SetTimedGame(false);
        for (int s = 0; s < seconds; ++s)
            g.tmrGame_Timer();
        g.Answer(button(true));
        QCOMPARE(GameSettings.Players[1].Points, 50);
    }

    // With "Old" or "New" chosen the first question is of that testament already; without any
    // such question the players are told so and no question is open.
    void testamentHoldsFromTheFirstQuestion()
    {
        const QStringList tags{"NT", "NT", "OT", "NT", "", "ot"};
        GameSession &g = start(6, 1, false, basGame::Testament::Old, tags);
        for (int game = 0; game < 8; ++game) {
            g.StartNewGame();
            QCOMPARE(question(), QStringLiteral("Question 3"));
            g.Answer(1);
            g.NextQuestion(); // Null and lower-case tags are passed over too
            QCOMPARE(g.state(), State::GameOver);
            QCOMPARE(question(), QStringLiteral("Question 3"));
        }
        TestSupport::clearMessages();
        GameSettings.Testament = basGame::Testament::New;
        TestSupport::execSql(g.data().DatabaseName, QStringLiteral("UPDATE tblQuillory SET Testament = 'OT'"));
        QSignalSpy started(&g, &GameSession::gameStarted);
        g.StartNewGame();
        QCOMPARE(started.value(0).value(0).toBool(), false);
        QCOMPARE(g.state(), State::NoQuestion);
        QVERIFY(!g.timerRunning());
        QCOMPARE(TestSupport::messages().size(), 1);
        QCOMPARE(TestSupport::messages()[0].text, GameSession::NoQuestionsText());
        QVERIFY(GameSession::NoQuestionsText().startsWith(QStringLiteral("The question database holds no New Testament questions.")));
        g.Answer(1);
        QCOMPARE(GameSettings.Players[1].Answered, 0);
    }

    // The answer is compared exactly with the first: a wrong answer equal to it counts as right
    // (and both buttons carry the hand), one that differs only in letter case counts as wrong.
    void answersAreComparedExactly()
    {
        GameSession &g = start(1);
        TestSupport::execSql(g.data().DatabaseName, QStringLiteral("UPDATE tblQuillory SET Answer2 = Answer1, Answer3 = lower(Answer1)"));
        for (const QString &caption : {QStringLiteral("Right 1"), QStringLiteral("right 1")}) {
            g.StartNewGame();
            int index = 0;
            for (int i = 1; i <= 4; ++i)
                if (g.answerText(i) == caption)
                    index = i;
            QSignalSpy answered(&g, &GameSession::answered);
            g.Answer(index);
            QCOMPARE(answered.value(0).value(1).toBool(), caption == u"Right 1");
            QCOMPARE(g.CorrectButtons().size(), 2);
        }
    }

    // A game of a set length ends, exactly as at the end of the deck, once every player has had
    // that many questions; every answer is recorded for the review, and the standings put the
    // best score first with equal scores sharing their rank.
    void roundsRecordsAndStandings()
    {
        PlaySettings::Play.QuestionsPerPlayer = 5;
        GameSession &g = start(40, 3);
        QSignalSpy over(&g, &GameSession::gameOver);
        while (g.state() == State::QuestionOpen) {
            const int player = g.currentPlayer();
            g.Answer(button(player != 3));
            g.NextQuestion();
        }
        PlaySettings::Play.QuestionsPerPlayer = 0;
        QCOMPARE(over.count(), 1);
        QCOMPARE(g.questionsDealt(), 15);
        const QList<GameSession::AnswerRecord> &answers = g.Answers();
        QCOMPARE(answers.size(), 15);
        for (int q = 0; q < 15; ++q) {
            QCOMPARE(answers[q].player, q % 3 + 1);
            QCOMPARE(answers[q].right.startsWith(u"Right"), true);
            QCOMPARE(answers[q].correct, answers[q].given == answers[q].right);
            QVERIFY(answers[q].reference.startsWith(QStringLiteral("Genesis 1:")));
        }
        QCOMPARE(question(), answers.last().question);
        // Players 1 and 2 answered every question right and tie; player 3 answered all wrong.
        const QList<GameSession::Standing> standings = g.Standings();
        QCOMPARE(standings.size(), 3);
        QCOMPARE(GameSettings.Players[1].Score, 250);
        QVERIFY(standings[0].rank == 1 && standings[1].rank == 1 && standings[0].tied && standings[1].tied);
        QVERIFY(standings[2].player == 3 && standings[2].rank == 3 && !standings[2].tied);
        g.StartNewGame();
        QVERIFY(g.Answers().isEmpty());
    }

    // A Null in a dealt row is reported where it is read; the answers of the last question stay.
    void nullsInARowAreReported()
    {
        GameSession &g = start(3);
        TestSupport::execSql(g.data().DatabaseName, QStringLiteral("UPDATE tblQuillory SET Reference = NULL"));
        g.StartNewGame();
        QVERIFY_THROWS_EXCEPTION(std::exception, g.Reference());
        g.Answer(button(true));
        TestSupport::execSql(g.data().DatabaseName, QStringLiteral("UPDATE tblQuillory SET Answer3 = NULL"));
        const QString before = g.answerText(1);
        g.NextQuestion();
        QCOMPARE(TestSupport::errorTexts(), QStringList{QStringLiteral("Error #: 94\rInvalid use of Null")});
        QCOMPARE(g.answerText(1), before);
    }

    // Scores, points and counts hold 32-bit values: a whole timed deck scores far beyond 32767.
    void scoresGoBeyondSixteenBits()
    {
        GameSession &g = start(2, 1, true);
        GameSettings.Players[1].Score = 32700;
        g.Answer(button(true));
        QCOMPARE(GameSettings.Players[1].Score, 32850);
        GameSettings.Players[1].Score = 2147483600;
        g.NextQuestion();
        g.Answer(button(true));
        QCOMPARE(TestSupport::errorTexts(), QStringList{QStringLiteral("Error #: 6\rOverflow")});
        QCOMPARE(GameSettings.Players[1].Answered, 2); // the counters go on
        QVERIFY(g.HighScoreAchieved());
        QCOMPARE(entry(1), QStringLiteral("P1 2147483600 100"));
    }

    // The seconds count stops at its limit instead of overflowing, and the timer with it.
    void secondsStopAtTheirLimit()
    {
        GameSession &g = start(1);
        for (int s = 0; s < 32768; ++s)
            g.tmrGame_Timer();
        QCOMPARE(g.seconds(), 32767);
        QVERIFY(!g.timerRunning());
        QVERIFY(TestSupport::messages().isEmpty());
    }
};

QUILLORY_CORE_TEST_MAIN(tst_Session)
#include "tst_session.moc"
