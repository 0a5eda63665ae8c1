#include "game/GameSession.h"

#include "core/Log.h"
#include "core/MessageBox.h"
#include "core/Progress.h"
#include "core/basMain.h"
#include "db/DataControl.h"
#include "db/QuestionSchema.h"
#include "db/Recordset.h"
#include "game/DeckFilter.h"
#include "game/GameRules.h"
#include "game/QuestionDeck.h"
#include "game/Random.h"
#include "scores/HighScoreTable.h"
#include "settings/NumericText.h"
#include "settings/PlaySettings.h"
#include "settings/QuestionChoice.h"
#include "settings/basGame.h"

#include <QTimer>

#include <algorithm>
#include <limits>

using basGame::GameSettings;

namespace {
constexpr auto Title = "Quillory";
}

GameSession::GameSession(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("gameSession"));
    datQuillory = new DataControl(this);
    datQuillory->setObjectName(QStringLiteral("datQuillory"));
    datQuillory->Connect = QString::fromLatin1(basMain::ConnectString);
    datQuillory->RecordSource = QuestionSchema::TableName();

    tmrGame = new QTimer(this);
    tmrGame->setObjectName(QStringLiteral("tmrGame"));
    tmrGame->setInterval(1000);
    connect(tmrGame, &QTimer::timeout, this, &GameSession::tmrGame_Timer);
    for (int i = 1; i <= 4; ++i)
        answerTexts[std::size_t(i)] = QStringLiteral("Answer %1").arg(i);
}

GameSession::~GameSession() = default;

bool GameSession::timerRunning() const { return tmrGame->isActive(); }

QString GameSession::answerText(int Index) const
{
    return Index >= 1 && Index <= 4 ? answerTexts[std::size_t(Index)] : QString();
}

QString GameSession::CorrectAnswer() const { return datQuillory->recordset().FieldText(QStringLiteral("Answer1")); }

QString GameSession::Reference() const { return datQuillory->recordset().FieldText(QStringLiteral("Reference")); }

QList<int> GameSession::CorrectButtons() const
{
    const QString correct = CorrectAnswer();
    QList<int> buttons;
    for (int i = 1; i <= 4; ++i)
        if (answerText(i) == correct)
            buttons << i;
    return buttons;
}

QString GameSession::NoQuestionsText()
{
    const QuestionChoice::Choice &choice = QuestionChoice::Current;
    if (!choice.everything()) {
        static const char *const levels[] = {"", "easy ", "medium ", "hard "};
        QStringList chosen;
        if (!choice.leftOutSets.isEmpty())
            chosen << QStringLiteral("question sets");
        if (choice.books)
            chosen << QStringLiteral("books");
        QString text = QStringLiteral("The question database holds no %1%2questions")
                           .arg(QLatin1String(levels[int(choice.difficulty)]),
                                GameSettings.Testament == basGame::Testament::Old   ? QStringLiteral("Old Testament ")
                                : GameSettings.Testament == basGame::Testament::New ? QStringLiteral("New Testament ")
                                                                                    : QString());
        if (!chosen.isEmpty())
            text += QStringLiteral(" in the %1 chosen").arg(chosen.join(QStringLiteral(" and ")));
        text += QStringLiteral(". Choose more questions on the Questions page of the options");
        if (GameSettings.Testament != basGame::Testament::Both)
            text += QStringLiteral(", or another testament on the Testament page");
        return text + u'.';
    }
    if (GameSettings.Testament != basGame::Testament::Both)
        return QStringLiteral("The question database holds no %1 Testament questions. Choose another testament on the "
                              "Testament page of the options.")
            .arg(GameSettings.Testament == basGame::Testament::Old ? QStringLiteral("Old") : QStringLiteral("New"));
    return QStringLiteral("The question database holds no questions.");
}

// --- game state and turns ----------------------------------------------------------------------

void GameSession::StartNewGame()
{
    basMain::Trap([this] {
        std::optional<bool> dealt;
        {
            const ProgressRun run(m_progress, QStringLiteral("New Game"), false);
            ShuffleQuestions();
            dealt = DrawFirstQuestion();
        }
        if (dealt == true)
            LoadAnswers();
        ResetPlayerStats();
        m_answers.clear();
        m_dealt = dealt == true ? 1 : 0;
        intCurPlayer = 1;
        tmrGame->stop();
        intSeconds = 0;
        // Without a question (none of the testament, or a deck that cannot be read) nothing can
        // be answered until the next new game.
        m_state = dealt == true ? State::QuestionOpen : State::NoQuestion;
        emit gameStarted(m_state == State::QuestionOpen);
        if (dealt == false)
            MsgBox::show(NoQuestionsText(), MsgBox::Exclamation, QString::fromLatin1(Title));
        if (m_state == State::QuestionOpen)
            tmrGame->start();
    });
}

void GameSession::NextQuestion()
{
    if (m_state != State::Answered)
        return;
    basMain::Trap([this] {
        // A game of a set length ends when every player has had that many questions.
        const int perPlayer = PlaySettings::Play.QuestionsPerPlayer;
        const bool roundsDone = perPlayer > 0 && m_dealt >= perPlayer * GameSettings.PlayerCnt;
        if (!roundsDone && DrawNextQuestion()) {
            ++m_dealt;
            LoadAnswers();
            NextPlayer();
            intSeconds = 0;
            tmrGame->start();
            m_state = State::QuestionOpen;
            emit questionDealt();
        } else {
            tmrGame->stop();
            m_state = State::GameOver;
            emit gameOver();
        }
    });
}

void GameSession::NextPlayer()
{
    intCurPlayer = GameRules::NextPlayer(intCurPlayer, GameSettings.PlayerCnt);
}

void GameSession::ResetPlayerStats()
{
    for (int i = 1; i <= basGame::MaxPlayers; ++i) {
        basGame::PlayerRecord &p = GameSettings.Players[i];
        p.Score = p.Answered = p.Correct = p.Points = 0;
        p.Percent = 0;
    }
    blnScored = false;
    blnOffered = false;
}

bool GameSession::HighScoreAchieved()
{
    bool result = false;
    basMain::Trap([&] {
        // A game's results are offered once: after "Game Over!" the counters stay on show, and a
        // following New Game, Exit or change of players must not enter them a second time.
        if (!blnScored || blnOffered)
            return;
        blnOffered = true;
        for (int i = 1; i <= GameSettings.PlayerCnt; ++i) {
            const basGame::PlayerRecord &p = GameSettings.Players[i];
            if (HighScoreTable::IsHighScore(p.Name, p.Score, p.Percent))
                result = true;
        }
    });
    return result;
}

// --- the question deck -------------------------------------------------------------------------

void GameSession::ShuffleQuestions()
{
    emit busy(true);
    m_filter.reset();
    basMain::Trap([this] {
        // A connection lost to a failed command, or a file replaced meanwhile, is opened afresh.
        datQuillory->RefreshIfStale();
        QuestionDeck::Shuffle(*datQuillory, m_progress);
    });
    emit busy(false);
}

const DeckFilter *GameSession::Filter()
{
    if (QuestionChoice::Current.everything())
        return nullptr;
    if (!m_filter)
        m_filter = std::make_unique<DeckFilter>(DeckFilter::Build(datQuillory->database(), QuestionChoice::Current, m_progress));
    return m_filter.get();
}

bool GameSession::ChoiceChanged()
{
    bool any = true;
    m_filter.reset();
    if (datQuillory->isOpen())
        basMain::Trap([&] {
            if (const DeckFilter *filter = Filter())
                any = filter->count(GameSettings.Testament) > 0;
        });
    return any;
}

std::optional<bool> GameSession::DrawFirstQuestion()
{
    std::optional<bool> dealt;
    basMain::Trap([&] { dealt = QuestionDeck::DrawFirst(datQuillory->recordset(), GameSettings.Testament, Filter()); });
    return dealt;
}

bool GameSession::DrawNextQuestion()
{
    return QuestionDeck::DrawNext(datQuillory->recordset(), GameSettings.Testament, Filter());
}

void GameSession::LoadAnswers()
{
    basMain::Trap([this] {
        qCInfo(lcGame) << "question:" << datQuillory->recordset().Field(QStringLiteral("Question")).toString();
        std::array<qint16, 4> order{};
        Random::ShuffleArray<qint16>(order, 1);
        const Recordset &row = datQuillory->recordset();
        std::array<QString, 5> texts;
        for (int i = 1; i <= 4; ++i)
            texts[std::size_t(i)] = row.FieldText(QStringLiteral("Answer%1").arg(i));
        for (int i = 1; i <= 4; ++i)
            answerTexts[std::size_t(i)] = texts[std::size_t(order[std::size_t(i - 1)])];
    });
}

// --- answering -----------------------------------------------------------------------------------

void GameSession::Answer(int Index)
{
    if (m_state != State::QuestionOpen || Index < 1 || Index > 4)
        return;
    basMain::Trap([this, Index] {
        tmrGame->stop();
        const bool correct = answerText(Index) == CorrectAnswer();
        m_state = State::Answered;
        AwardPoints(correct);
        UpdateStats(correct);
        const Recordset &row = datQuillory->recordset();
        m_answers << AnswerRecord{intCurPlayer, row.Field(QStringLiteral("Question")).toString(), answerText(Index),
                                  CorrectAnswer(), row.Field(QStringLiteral("Reference")).toString(), correct,
                                  GameSettings.Players[intCurPlayer].Points};
        emit answered(Index, correct);
    });
}

void GameSession::AwardPoints(bool blnCorrect)
{
    basMain::Trap([this, blnCorrect] {
        const qint16 points = GameRules::PointsFor(blnCorrect, GameSettings.Timed, intSeconds);
        if (blnCorrect)
            blnScored = true;
        basGame::PlayerRecord &p = GameSettings.Players[intCurPlayer];
        p.Points = points;
        p.Score = NumericText::Add32(p.Score, points);
    });
}

void GameSession::UpdateStats(bool blnCorrect)
{
    basMain::Trap([this, blnCorrect] {
        basGame::PlayerRecord &p = GameSettings.Players[intCurPlayer];
        p.Answered = NumericText::Add32(p.Answered, 1);
        if (blnCorrect)
            p.Correct = NumericText::Add32(p.Correct, 1);
        if (p.Answered > 0)
            p.Percent = GameRules::PercentCorrect(p.Correct, p.Answered);
    });
}

QList<GameSession::Standing> GameSession::Standings() const
{
    QList<Standing> out;
    for (int i = 1; i <= GameSettings.PlayerCnt; ++i)
        out << Standing{0, i, false};
    std::stable_sort(out.begin(), out.end(), [](const Standing &a, const Standing &b) {
        return GameSettings.Players[a.player].Score > GameSettings.Players[b.player].Score;
    });
    for (qsizetype k = 0; k < out.size(); ++k) {
        const qint32 score = GameSettings.Players[out[k].player].Score;
        const bool sameAsBefore = k > 0 && GameSettings.Players[out[k - 1].player].Score == score;
        out[k].rank = sameAsBefore ? out[k - 1].rank : int(k) + 1;
        if (sameAsBefore)
            out[k].tied = out[k - 1].tied = true;
    }
    return out;
}

// --- timer ---------------------------------------------------------------------------------------

void GameSession::SetTimedGame(bool blnTimed)
{
    GameSettings.Timed = blnTimed;
    emit timedChanged(blnTimed);
}

void GameSession::tmrGame_Timer()
{
    // The count stops at the largest 16-bit value instead of overflowing (nine hours on one
    // question); the timer is switched off there.
    if (intSeconds == std::numeric_limits<qint16>::max()) {
        tmrGame->stop();
        return;
    }
    ++intSeconds;
    emit secondsChanged(intSeconds);
}
