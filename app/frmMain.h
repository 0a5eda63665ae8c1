#pragma once

#include <QMainWindow>
#include <QString>

#include <array>
#include <memory>

class CaptionFrame;
class GameSession;
class ProgressDialog;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;
class QToolBar;

// The main game window: the game area (question, four answer buttons, result panel), the
// menus, the toolbar and the status bar. The game itself is a GameSession; the window's
// handlers ask it and repaint from what it tells.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // Load order: settings, colours, View ticks, the data connection, a new game, timed mode.
    void Form_Load();

    GameSession &game() const { return *session; }

    // Game state and turns.
    void StartNewGame();
    bool HighScoreAchieved();
    void cmdNewQuestion_Click();
    // Answering.
    void cmdAnswer_Click(int Index);
    // Timer and status.
    void SetTimedGame(bool blnTimed);
    // Paints the game area from the stored colours: "Window" backgrounds, "Window Text" texts.
    void SetColor(const QString &strObject);

    // Menu and toolbar commands.
    void mnuGameNew_Click();
    void mnuGameHighScores_Click();
    void mnuGameExit_Click();
    void mnuOption_Click(int Index);
    void mnuToolsCompactDatabase_Click();
    void mnuToolsRepairDatabase_Click();
    void mnuToolsImportQuestions_Click();
    void mnuToolsExportQuestions_Click();
    void mnuViewToolbar_Click();
    void mnuViewStatusBar_Click();
    void mnuHelpContents_Click();
    void mnuHelpTopics_Click();
    void mnuHelpUsing_Click();
    void mnuHelpAbout_Click();
    void tlbToolbar_ButtonClick(const QString &key);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildGameArea(QWidget *client);
    void buildMenus();
    void buildToolbar(QWidget *client);
    void buildStatusBar(QWidget *client);
    void Form_Unload();

    // What the session tells, painted.
    void session_GameStarted(bool dealt);
    void session_QuestionDealt();
    void session_Answered(int Index, bool correct);
    void session_GameOver();
    void session_TimedChanged(bool timed);
    void tmrGame_Timer();

    void LoadAnswers();
    void EnableAnswers(bool blnEnabled);
    void ShowFace(QLabel *imgFace);
    void ShowCorrectAnswer(bool blnShow);
    void ShowResult(bool blnShow);
    void UpdateStatus();
    void showBoundQuestion();
    void FitQuestion();
    void showScores(QWidget *owner);
    void showOptions(int page);

    GameSession *session;
    std::unique_ptr<ProgressDialog> progress; // long work: new games, maintenance, import

    CaptionFrame *fraQuestion;
    QLabel *lblQuestion;
    std::array<QPushButton *, 5> cmdAnswer{}; // indexes 1 to 4
    std::array<QLabel *, 5> imgHand{};        // indexes 1 to 4
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
};
