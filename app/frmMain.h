#pragma once

#include <QMainWindow>
#include <QString>

#include <array>
#include <optional>

class DataControl;
class QAction;
class CaptionFrame;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;
class QTimer;
class QToolBar;

// The main game window: the game area (question, four answer buttons, result panel), the
// menus, the toolbar and the status bar. The game's rules live in the core library
// (GameRules, QuestionDeck, HighScoreTable); this window orchestrates them.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // Load order: settings, colours, View ticks, the data connection, a new game, timed mode.
    void Form_Load();

    // Game state and turns.
    void StartNewGame();
    bool HighScoreAchieved();
    void cmdNewQuestion_Click();
    // Answering.
    void cmdAnswer_Click(int Index);
    // Timer and status.
    void SetTimedGame(bool blnTimed);
    void tmrGame_Timer();
    // Paints the game area from the stored colours: "Window" backgrounds, "Window Text" texts.
    void SetColor(const QString &strObject);

    // Menu and toolbar commands.
    void mnuGameNew_Click();
    void mnuGameHighScores_Click();
    void mnuGameExit_Click();
    void mnuOption_Click(int Index);
    void mnuToolsCompactDatabase_Click();
    void mnuToolsRepairDatabase_Click();
    void mnuViewToolbar_Click();
    void mnuViewStatusBar_Click();
    void mnuHelpContents_Click();
    void mnuHelpTopics_Click();
    void mnuHelpUsing_Click();
    void mnuHelpAbout_Click();
    void tlbToolbar_ButtonClick(const QString &key);

    // Read access for the game's state (status, tests).
    DataControl &data() const { return *datQuillory; }
    int currentPlayer() const { return intCurPlayer; }
    int seconds() const { return intSeconds; }
    bool scored() const { return blnScored; }
    // The answer text on button Index (1 to 4), as dealt.
    QString answerCaption(int Index) const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildGameArea(QWidget *client);
    void buildMenus();
    void buildToolbar(QWidget *client);
    void buildStatusBar(QWidget *client);
    void Form_Unload();

    void NextPlayer();
    void ResetPlayerStats();
    void ShuffleQuestions();
    bool DrawNextQuestion();
    // The first question of the game; false when the deck holds none of the chosen testament,
    // nothing when the deck could not be read (the error is reported).
    std::optional<bool> DrawFirstQuestion();
    static QString NoQuestionsText();
    void LoadAnswers();
    void EnableAnswers(bool blnEnabled);
    void AwardPoints(bool blnCorrect);
    void UpdateStats(bool blnCorrect);
    void ShowFace(QLabel *imgFace);
    void ShowCorrectAnswer(bool blnShow);
    void ShowResult(bool blnShow);
    void UpdateStatus();
    void showBoundQuestion();
    void FitQuestion();
    void showScores(QWidget *owner);
    void showOptions(int page);

    DataControl *datQuillory;
    QTimer *tmrGame;

    CaptionFrame *fraQuestion;
    QLabel *lblQuestion;
    std::array<QPushButton *, 5> cmdAnswer{}; // indexes 1 to 4
    std::array<QLabel *, 5> imgHand{};        // indexes 1 to 4
    std::array<QString, 5> answerTexts;       // the texts on the buttons, indexes 1 to 4
    CaptionFrame *fraResult;
    QLabel *lblResult;
    QLabel *lblReference;
    QLabel *lblPoints;
    QPushButton *cmdNewQuestion;
    QLabel *imgFaceSmile;
    QLabel *imgFaceNeutral;
    QLabel *imgFaceFrown;

    QToolBar *tlbToolbar;
    QAction *tlbTimed = nullptr;
    QStatusBar *staStatusBar;
    std::array<QLabel *, 5> staPanel{}; // panels 1 to 4
    QAction *mnuViewToolbar = nullptr;
    QAction *mnuViewStatusBar = nullptr;

    qint16 intCurPlayer = 0;
    qint16 intSeconds = 0;
    bool blnScored = false;
    bool blnOffered = false; // this game's results went to the high-score table already
};
