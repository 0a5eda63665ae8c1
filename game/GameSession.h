#pragma once

#include <QObject>
#include <QString>

#include <QList>

#include <array>
#include <memory>
#include <optional>

class DataControl;
class DeckFilter;
class Progress;
class QTimer;

// One game of one to four players who take turns over the question deck, free of any window:
// the deck and the testament rule, the answer order of the current question, judging an answer,
// points (flat or timed), each player's counters, the seconds count, the end of the game (when
// the deck runs out, or after the chosen number of questions per player), the record of every
// answer for the review, and the offer of the results to the high-score table.
//
// The players, their names and counters, the player count, the testament and the timed mode
// live in the game settings (basGame::GameSettings); the session reads and updates them there.
// Procedures keep the game's names (StartNewGame, DrawNextQuestion, LoadAnswers, NextPlayer,
// AwardPoints, UpdateStats, HighScoreAchieved, SetTimedGame, tmrGame_Timer) and trap their own
// run-time errors, reporting them and ending where they stood. What changed is told by signals,
// to which a window repaints itself.
class GameSession : public QObject
{
    Q_OBJECT

public:
    enum class State {
        NoQuestion,   // no game yet, or none could be dealt
        QuestionOpen, // the current player may answer
        Answered,     // the answer was judged; the next question may be asked
        GameOver      // the deck ran out
    };

    explicit GameSession(QObject *parent = nullptr);
    ~GameSession() override;

    // The deck's data connection ("datQuillory"); its current row is the question on the table.
    DataControl &data() const { return *datQuillory; }

    // Shuffles the deck, deals its first question of the chosen testament, zeroes every player's
    // counters and gives the turn to player 1 with the seconds at 0. Emits gameStarted. When the
    // deck holds no question of the testament, the players are told so in plain words and no
    // question is open.
    void StartNewGame();
    // The next question of the testament to the next player (questionDealt), or the end of the
    // game when the deck has run out or every player has had the chosen number of questions
    // (gameOver); the cursor then stays on the last question asked.
    void NextQuestion();
    // Judges answer button Index (1 to 4) for the current player: points, counters, percentage
    // (answered). Only an open question can be answered, and only once.
    void Answer(int Index);
    // Offers each player's result to the high-score table, once per game and only when somebody
    // scored; true when any result entered.
    bool HighScoreAchieved();
    // Switches the timed mode; the open question keeps its count (timedChanged).
    void SetTimedGame(bool blnTimed);
    // One second of the answer timer (secondsChanged); the count stops at its limit.
    void tmrGame_Timer();

    State state() const { return m_state; }
    int currentPlayer() const { return intCurPlayer; }
    int seconds() const { return intSeconds; }
    bool scored() const { return blnScored; }
    bool timerRunning() const;
    // The text on answer button Index (1 to 4) as dealt; empty for any other index.
    QString answerText(int Index) const;
    // Of the current row, read when asked (run-time errors for a row that cannot be read).
    QString CorrectAnswer() const;
    QString Reference() const;
    // The buttons whose text is the correct answer (one, or more when a wrong answer repeats it).
    QList<int> CorrectButtons() const;

    // The plain words for a deck without a question of the chosen testament (and of the
    // question choice: sets, books, difficulty).
    static QString NoQuestionsText();

    // Every answer of the game so far, in the order given.
    struct AnswerRecord
    {
        int player = 0; // 1 to 4
        QString question, given, right, reference;
        bool correct = false;
        qint32 points = 0;
    };
    const QList<AnswerRecord> &Answers() const { return m_answers; }

    // The players of the game, best score first; players with equal scores share a rank.
    struct Standing
    {
        int rank = 0;
        int player = 0;
        bool tied = false; // another player has the same rank
    };
    QList<Standing> Standings() const;
    // Questions dealt in this game.
    int questionsDealt() const { return m_dealt; }
    // Where a new game reports its work on a large deck (nothing: it reports nowhere).
    void setProgress(Progress *progress) { m_progress = progress; }
    // The question choice (QuestionChoice::Current) changed: the next question follows it.
    // False when it leaves no question of the testament in the open deck (told in plain words
    // by the next new game); errors are reported.
    bool ChoiceChanged();

signals:
    void gameStarted(bool dealt);
    void questionDealt();
    void answered(int Index, bool correct);
    void gameOver();
    void timedChanged(bool timed);
    void secondsChanged(int seconds);
    // Long work (the shuffle) starts or ends: a window shows the hourglass meanwhile.
    void busy(bool working);

private:
    void ShuffleQuestions();
    std::optional<bool> DrawFirstQuestion();
    const DeckFilter *Filter(); // the choice's filter over the open deck, built when first needed
    bool DrawNextQuestion();
    void LoadAnswers();
    void NextPlayer();
    void ResetPlayerStats();
    void AwardPoints(bool blnCorrect);
    void UpdateStats(bool blnCorrect);

    DataControl *datQuillory;
    QTimer *tmrGame;
    State m_state = State::NoQuestion;
    std::array<QString, 5> answerTexts; // indexes 1 to 4
    qint16 intCurPlayer = 1;
    qint16 intSeconds = 0;
    bool blnScored = false;
    bool blnOffered = false; // this game's results went to the high-score table already
    int m_dealt = 0;
    QList<AnswerRecord> m_answers;
    std::unique_ptr<DeckFilter> m_filter; // the question choice over the deck; none: every row plays
    Progress *m_progress = nullptr;
};
