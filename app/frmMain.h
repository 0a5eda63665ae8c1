#pragma once

#include "app/ZoomLayout.h"

#include <QMainWindow>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <array>
#include <memory>

class CaptionFrame;
class GameSession;
class GameStage;
class QToolButton;
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
    void mnuGameReview_Click();
    void mnuGameExit_Click();
    void mnuOption_Click(int Index);
    void mnuToolsCompactDatabase_Click();
    void mnuToolsRepairDatabase_Click();
    void mnuToolsImportQuestions_Click();
    void mnuToolsExportQuestions_Click();
    void mnuViewToolbar_Click();
    void mnuViewStatusBar_Click();
    void mnuViewFullScreen_Click();
    void mnuViewZoomIn_Click();
    void mnuViewZoomOut_Click();
    void mnuViewActualSize_Click();
    void mnuViewPassage_Click();
    void mnuHelpContents_Click();
    void mnuHelpTopics_Click();
    void mnuHelpUsing_Click();
    void mnuHelpAbout_Click();
    void tlbToolbar_ButtonClick(const QString &key);

    // Full screen on or off, and the zoom in a window (100 to 300 percent), remembered.
    void SetFullScreen(bool blnFull);
    void SetZoom(int percent);
    // The passage of the answered question under the game area (nothing before an answer).
    void ShowPassage(bool blnShow);
    // The zoom that makes the game area and the passage under it fill a screen of this size.
    static qreal FullScreenZoom(const QSize &screen, int passageHeight);

    // The game area's designed size, and the passage panel's designed height (pixels at 100%).
    static constexpr QSize ClientSize{423, 365};
    static constexpr int PassageHeight = 62;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildGameArea(QWidget *client);
    void buildMenus();
    void buildKeys();
    QLabel *picture(QWidget *parent, const QString &name, const QString &resource, const QString &accessible);
    void ApplyZoom();
    void FitWindow();
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
    static void FitText(QLabel *label, const QFont &font, qreal smallest, const QString &text);
    void showScores(QWidget *owner);
    void showOptions(int page);

    GameSession *session;
    ZoomLayout m_zoom;
    GameStage *stage;
    QWidget *client;
    QLabel *txtPassage;
    QString m_passage;  // the passage shown, whole
    QString m_question; // the question shown, whole
    QList<QToolButton *> m_toolButtons;
    QList<std::pair<QAction *, QPixmap>> m_toolImages; // each toolbar button's picture as designed
    std::unique_ptr<ProgressDialog> progress; // long work: new games, maintenance, import

    CaptionFrame *fraQuestion;
    QLabel *lblQuestion;
    std::array<QPushButton *, 5> cmdAnswer{}; // indexes 1 to 4
    std::array<QLabel *, 5> imgHand{};        // indexes 1 to 4
    std::array<QLabel *, 5> lblKey{};         // the answer keys' figures, indexes 1 to 4
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
    QAction *mnuViewFullScreen = nullptr;
    QAction *mnuViewZoomIn = nullptr;
    QAction *mnuViewZoomOut = nullptr;
    QAction *mnuViewActualSize = nullptr;
    QAction *mnuViewPassage = nullptr;
};
