#include "app/frmMain.h"

#include "app/CaptionFrame.h"
#include "app/GameStage.h"
#include "bible/Scripture.h"
#include "db/DataControl.h"
#include "db/Recordset.h"
#include "game/GameSession.h"
#include "help/HelpViewer.h"
#include "core/MessageBox.h"
#include "resources/Twips.h"
#include "db/basDatabase.h"
#include "settings/PlaySettings.h"
#include "settings/basGame.h"
#include "core/basMain.h"
#include "settings/QuestionChoice.h"

#include "about/frmAbout.h"
#include "options/ColorChooser.h"
#include "options/frmOptions.h"
#include "questions/ProgressDialog.h"
#include "questions/QuestionTools.h"
#include "review/frmReview.h"
#include "resources/Resources.h"
#include "scores/frmScores.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>


using basGame::GameSettings;

namespace {
constexpr auto Title = "Quillory";

// The game area's font: "MS Sans Serif" 9.75 pt (mapped to an installed sans font at start-up).
QFont gameFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(9.75);
    return font;
}

// The toolbar and the status bar keep the system's colours whatever colours the players choose
// for the window: every colour role is set on them, so none is taken from the window.
void KeepSystemColours(QWidget *bar)
{
    const QPalette system = QApplication::palette();
    QPalette own;
    for (int group = 0; group < QPalette::NColorGroups; ++group)
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            if (role == QPalette::NoRole)
                continue;
            const auto g = QPalette::ColorGroup(group);
            const auto r = QPalette::ColorRole(role);
            own.setColor(g, r, system.color(g, r));
        }
    bar->setPalette(own);
    bar->setAutoFillBackground(true);
}


}

frmMain::frmMain(QWidget *parent) : QMainWindow(parent)
{
    Resources::init();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString());
    setWindowIcon(Resources::appIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);

    session = new GameSession(this);
    progress = std::make_unique<ProgressDialog>(this);
    session->setProgress(progress.get());

    // The game area as designed; under it, the passage panel, shown after an answer on request
    // (and by itself in full screen). Both stand on the stage, which fills the window.
    client = new QWidget;
    client->setObjectName(QStringLiteral("clientArea"));
    client->setAutoFillBackground(true);
    client->setFixedSize(ClientSize);
    txtPassage = new QLabel;
    txtPassage->setObjectName(QStringLiteral("txtPassage"));
    txtPassage->setAccessibleName(QStringLiteral("Passage"));
    txtPassage->setTextFormat(Qt::PlainText);
    txtPassage->setWordWrap(true);
    txtPassage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    txtPassage->setAutoFillBackground(true);
    txtPassage->setMargin(6);
    txtPassage->setFont(gameFont());
    m_zoom.font(txtPassage);
    txtPassage->hide();
    stage = new GameStage(this, client, txtPassage);
    stage->setObjectName(QStringLiteral("stage"));
    setCentralWidget(stage);

    buildMenus();
    buildToolbar(client);
    buildGameArea(client);
    buildStatusBar(client);
    buildKeys();

    // The question label is bound to the Question field of the deck's current row; the rest of
    // the window follows the game session.
    connect(&session->data(), &DataControl::currentRecordChanged, this, &frmMain::showBoundQuestion);
    connect(session, &GameSession::gameStarted, this, &frmMain::session_GameStarted);
    connect(session, &GameSession::questionDealt, this, &frmMain::session_QuestionDealt);
    connect(session, &GameSession::answered, this, &frmMain::session_Answered);
    connect(session, &GameSession::gameOver, this, &frmMain::session_GameOver);
    connect(session, &GameSession::timedChanged, this, &frmMain::session_TimedChanged);
    connect(session, &GameSession::secondsChanged, this, &frmMain::tmrGame_Timer);
    connect(session, &GameSession::busy, this, [](bool working) {
        if (working)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });

    ApplyZoom();
}

frmMain::~frmMain() = default;

void frmMain::buildGameArea(QWidget *client)
{
    const QFont font = gameFont();

    fraQuestion = new CaptionFrame(QStringLiteral("Question"), client);
    fraQuestion->setObjectName(QStringLiteral("fraQuestion"));
    fraQuestion->setFont(font);
    m_zoom.place(fraQuestion, Twips::Rect(150, 750, 6015, 915));
    lblQuestion = new QLabel(QStringLiteral("Question"), fraQuestion);
    lblQuestion->setObjectName(QStringLiteral("lblQuestion"));
    // Down to the frame's lower border, so that a question of three lines fits.
    m_zoom.place(lblQuestion, Twips::Rect(150, 200, 5715, 600).adjusted(0, 0, 0, Twips::ToPixels(915 - 800) - 3));
    lblQuestion->setTextFormat(Qt::PlainText);
    lblQuestion->setWordWrap(true);
    lblQuestion->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    for (int i = 1; i <= 4; ++i) {
        const int top = 1950 + 450 * (i - 1);
        imgHand[i] = picture(client, QStringLiteral("imgHand%1").arg(i), QStringLiteral("HAND"),
                             QStringLiteral("Correct answer %1").arg(i));
        m_zoom.place(imgHand[i], Twips::Rect(300, top, 480, 480));
        imgHand[i]->hide();

        cmdAnswer[i] = new QPushButton(QStringLiteral("Answer %1").arg(i), client);
        cmdAnswer[i]->setObjectName(QStringLiteral("cmdAnswer%1").arg(i));
        cmdAnswer[i]->setFont(font);
        cmdAnswer[i]->setAccessibleDescription(QStringLiteral("Key %1").arg(i));
        m_zoom.place(cmdAnswer[i], Twips::Rect(900, top, 5265, 375));
        connect(cmdAnswer[i], &QPushButton::clicked, this, [this, i] { cmdAnswer_Click(i); });
        // The key that answers with this button, in small grey figures at its left edge.
        lblKey[i] = new QLabel(QString::number(i), cmdAnswer[i]);
        lblKey[i]->setObjectName(QStringLiteral("lblKey%1").arg(i));
        lblKey[i]->setAccessibleName(QStringLiteral("Key %1").arg(i));
        lblKey[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
        lblKey[i]->setAlignment(Qt::AlignCenter);
        QFont keyFont = font;
        keyFont.setPointSizeF(7);
        lblKey[i]->setFont(keyFont);
        QPalette keyPalette = lblKey[i]->palette();
        keyPalette.setColor(QPalette::WindowText, QColor(112, 112, 112));
        lblKey[i]->setPalette(keyPalette);
        m_zoom.place(lblKey[i], QRect(3, 0, 12, Twips::ToPixels(375)));
    }

    fraResult = new CaptionFrame(QStringLiteral("Result"), client);
    fraResult->setObjectName(QStringLiteral("fraResult"));
    fraResult->setFont(font);
    m_zoom.place(fraResult, Twips::Rect(300, 3750, 3915, 1215));
    auto resultLabel = [this](const QString &name, int top) {
        auto *label = new QLabel(name.mid(3), fraResult);
        label->setObjectName(name);
        m_zoom.place(label, Twips::Rect(150, top, 3615, 285));
        label->setAlignment(Qt::AlignCenter);
        label->setTextFormat(Qt::PlainText);
        return label;
    };
    lblResult = resultLabel(QStringLiteral("lblResult"), 255);
    lblReference = resultLabel(QStringLiteral("lblReference"), 555);
    lblPoints = resultLabel(QStringLiteral("lblPoints"), 855);
    // A click on the reference shows its passage; it is underlined like a link.
    lblReference->setToolTip(QStringLiteral("Show the passage (P)"));
    lblReference->setCursor(Qt::PointingHandCursor);
    QFont linkFont = font;
    linkFont.setUnderline(true);
    lblReference->setFont(linkFont);
    m_zoom.font(lblReference);
    lblReference->installEventFilter(this);

    cmdNewQuestion = new QPushButton(QStringLiteral("&New Question"), client);
    cmdNewQuestion->setObjectName(QStringLiteral("cmdNewQuestion"));
    cmdNewQuestion->setFont(font);
    m_zoom.place(cmdNewQuestion, Twips::Rect(4455, 3900, 1515, 465));
    connect(cmdNewQuestion, &QPushButton::clicked, this, &frmMain::cmdNewQuestion_Click);

    imgFaceSmile = picture(client, QStringLiteral("imgFaceSmile"), QStringLiteral("FACE_SMILE"), QStringLiteral("Smiling face"));
    imgFaceNeutral = picture(client, QStringLiteral("imgFaceNeutral"), QStringLiteral("FACE_NEUTRAL"), QStringLiteral("Neutral face"));
    imgFaceFrown = picture(client, QStringLiteral("imgFaceFrown"), QStringLiteral("FACE_FROWN"), QStringLiteral("Frowning face"));
    for (QLabel *face : {imgFaceSmile, imgFaceNeutral, imgFaceFrown})
        m_zoom.place(face, Twips::Rect(4950, 4500, 480, 480));
    imgFaceSmile->hide();
    imgFaceFrown->hide();

    setTabOrder(cmdAnswer[1], cmdAnswer[2]);
    setTabOrder(cmdAnswer[2], cmdAnswer[3]);
    setTabOrder(cmdAnswer[3], cmdAnswer[4]);
    setTabOrder(cmdAnswer[4], cmdNewQuestion);
}

QLabel *frmMain::picture(QWidget *parent, const QString &name, const QString &resource, const QString &accessible)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setAccessibleName(accessible);
    m_zoom.picture(label, Resources::picture(resource));
    return label;
}

void frmMain::buildKeys()
{
    // Keys that work wherever the focus is in the window: 1 to 4 (top row and keypad) answer,
    // N or Space asks the next question. A key held down answers once: the session takes one
    // answer per question.
    auto key = [this](const QKeySequence &sequence, auto handler) {
        auto *shortcut = new QShortcut(sequence, this);
        shortcut->setAutoRepeat(false);
        connect(shortcut, &QShortcut::activated, this, handler);
    };
    for (int i = 1; i <= 4; ++i) {
        key(QKeySequence(Qt::Key_0 + i), [this, i] { cmdAnswer_Click(i); });
        key(QKeySequence(Qt::KeypadModifier | (Qt::Key_0 + i)), [this, i] { cmdAnswer_Click(i); });
    }
    for (const auto next : {Qt::Key_N, Qt::Key_Space})
        key(QKeySequence(next), [this] {
            if (cmdNewQuestion->isEnabled())
                cmdNewQuestion_Click();
        });
    key(QKeySequence(Qt::Key_Escape), [this] {
        if (isFullScreen())
            mnuViewFullScreen_Click();
    });
}

void frmMain::buildMenus()
{
    auto item = [this](QMenu *menu, const QString &name, const QString &caption, auto handler,
                       const QKeySequence &key = {}) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(name);
        if (!key.isEmpty())
            action->setShortcut(key);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    auto separator = [](QMenu *menu, const QString &name) { menu->addSeparator()->setObjectName(name); };

    QMenu *game = menuBar()->addMenu(QStringLiteral("&Game"));
    game->setObjectName(QStringLiteral("mnuGame"));
    item(game, QStringLiteral("mnuGameNew"), QStringLiteral("&New"), &frmMain::mnuGameNew_Click, QKeySequence(Qt::Key_F2));
    item(game, QStringLiteral("mnuGameHighScores"), QStringLiteral("&High Scores..."), &frmMain::mnuGameHighScores_Click);
    item(game, QStringLiteral("mnuGameReview"), QStringLiteral("&Review Answers..."), &frmMain::mnuGameReview_Click,
         QKeySequence(Qt::CTRL | Qt::Key_R));
    separator(game, QStringLiteral("mnuGameSep"));
    item(game, QStringLiteral("mnuGameExit"), QStringLiteral("E&xit"), &frmMain::mnuGameExit_Click);

    QMenu *options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("mnuOptions"));
    const QStringList optionCaptions{QStringLiteral("&Colors"), QStringLiteral("&Players"), QStringLiteral("&Testament"),
                                     QStringLiteral("T&imed Game")};
    for (int i = 0; i < optionCaptions.size(); ++i)
        item(options, QStringLiteral("mnuOption%1").arg(i), optionCaptions[i], [this, i] { mnuOption_Click(i); });
    item(options, QStringLiteral("mnuOption4"), QStringLiteral("&Questions"), [this] { mnuOption_Click(4); });

    QMenu *tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("mnuTools"));
    item(tools, QStringLiteral("mnuToolsCompactDatabase"), QStringLiteral("&Compact Database"), &frmMain::mnuToolsCompactDatabase_Click);
    item(tools, QStringLiteral("mnuToolsRepairDatabase"), QStringLiteral("&Repair Database"), &frmMain::mnuToolsRepairDatabase_Click);
    separator(tools, QStringLiteral("mnuToolsSep"));
    item(tools, QStringLiteral("mnuToolsImportQuestions"), QStringLiteral("&Import Questions..."), &frmMain::mnuToolsImportQuestions_Click);
    item(tools, QStringLiteral("mnuToolsExportQuestions"), QStringLiteral("&Export Questions..."), &frmMain::mnuToolsExportQuestions_Click);

    QMenu *view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuOptionsView"));
    mnuViewToolbar = item(view, QStringLiteral("mnuViewToolbar"), QStringLiteral("&Toolbar"), &frmMain::mnuViewToolbar_Click);
    mnuViewStatusBar = item(view, QStringLiteral("mnuViewStatusBar"), QStringLiteral("&Status Bar"), &frmMain::mnuViewStatusBar_Click);
    // The handlers set the tick themselves; the actions only show it.
    mnuViewToolbar->setCheckable(true);
    mnuViewStatusBar->setCheckable(true);
    separator(view, QStringLiteral("mnuViewSep"));
    mnuViewFullScreen = item(view, QStringLiteral("mnuViewFullScreen"), QStringLiteral("&Full Screen"),
                             &frmMain::mnuViewFullScreen_Click, QKeySequence(Qt::Key_F11));
    mnuViewFullScreen->setCheckable(true);
    mnuViewZoomIn = item(view, QStringLiteral("mnuViewZoomIn"), QStringLiteral("Zoom &In"), &frmMain::mnuViewZoomIn_Click);
    mnuViewZoomIn->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    mnuViewZoomOut = item(view, QStringLiteral("mnuViewZoomOut"), QStringLiteral("Zoom &Out"), &frmMain::mnuViewZoomOut_Click,
                          QKeySequence(Qt::CTRL | Qt::Key_Minus));
    mnuViewActualSize = item(view, QStringLiteral("mnuViewActualSize"), QStringLiteral("&Actual Size"),
                             &frmMain::mnuViewActualSize_Click, QKeySequence(Qt::CTRL | Qt::Key_0));
    separator(view, QStringLiteral("mnuViewSep2"));
    mnuViewPassage = item(view, QStringLiteral("mnuViewPassage"), QStringLiteral("&Passage"), &frmMain::mnuViewPassage_Click,
                          QKeySequence(Qt::Key_P));
    mnuViewPassage->setCheckable(true);
    // The menu bar is hidden in full screen: its commands and their keys stay with the window.
    addActions(menuBar()->actions());
    for (QMenu *menu : menuBar()->findChildren<QMenu *>())
        addActions(menu->actions());

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    item(help, QStringLiteral("mnuHelpContents"), QStringLiteral("Help &Contents"), &frmMain::mnuHelpContents_Click, QKeySequence(Qt::Key_F1));
    item(help, QStringLiteral("mnuHelpTopics"), QStringLiteral("Help &Topics"), &frmMain::mnuHelpTopics_Click);
    item(help, QStringLiteral("mnuHelpUsing"), QStringLiteral("&Using Help"), &frmMain::mnuHelpUsing_Click);
    separator(help, QStringLiteral("mnuHelpSep"));
    item(help, QStringLiteral("mnuHelpAbout"), QStringLiteral("&About Quillory..."), &frmMain::mnuHelpAbout_Click);
}

void frmMain::buildToolbar(QWidget *client)
{
    tlbToolbar = new QToolBar(client);
    tlbToolbar->setObjectName(QStringLiteral("tlbToolbar"));
    m_zoom.place(tlbToolbar, QRect(0, 0, ClientSize.width(), Twips::ToPixels(615)));
    tlbToolbar->setMovable(false);
    tlbToolbar->setFloatable(false);
    tlbToolbar->setIconSize(QSize(16, 15));
    tlbToolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tlbToolbar->setContentsMargins(0, 0, 0, 0);
    tlbToolbar->layout()->setSpacing(0);
    tlbToolbar->layout()->setContentsMargins(0, 0, 0, 0);
    KeepSystemColours(tlbToolbar);
    // Captions under 16-pixel images on 35-pixel buttons: a small font and no padding. The
    // pressed "Timed" button is drawn sunken and darker, so its state shows at a glance.
    QFont small = tlbToolbar->font();
    small.setPointSizeF(7);
    tlbToolbar->setStyleSheet(QStringLiteral(
        "QToolBar { background: palette(window); border: none; padding: 0px; spacing: 0px; }"
        "QToolButton { padding: 0px; margin: 0px; border: 1px solid transparent; }"
        "QToolButton:hover { border: 1px solid palette(mid); }"
        "QToolButton:checked { background: palette(mid); border: 1px solid palette(shadow); }"));

    struct Button
    {
        const char *key, *caption, *tip, *image;
    };
    static constexpr Button buttons[] = {
        {"New", "New", "New Game", "TB_NEW"}, {"Scores", "Scores", "High Scores", "TB_SCORES"}, {nullptr, nullptr, nullptr, nullptr},
        {"Colors", "Colors", "Colors", "TB_COLORS"}, {"Players", "Players", "Players", "TB_PLAYERS"},
        {"Testament", "Test", "Testament", "TB_TESTAMENT"}, {"Timed", "Timed", "Timed Game", "TB_TIMED"},
        {nullptr, nullptr, nullptr, nullptr}, {"About", "About", "About", "TB_ABOUT"}, {"Exit", "Exit", "Exit", "TB_EXIT"}};
    for (const Button &b : buttons) {
        if (!b.key) {
            tlbToolbar->addSeparator();
            continue;
        }
        const QString key = QString::fromLatin1(b.key);
        const QPixmap image = Resources::picture(QString::fromLatin1(b.image));
        QAction *action = tlbToolbar->addAction(image, QString::fromLatin1(b.caption));
        m_toolImages << std::pair{action, image};
        action->setObjectName(QStringLiteral("tlbButton") + key);
        action->setData(key);
        action->setToolTip(QString::fromLatin1(b.tip));
        if (auto *button = qobject_cast<QToolButton *>(tlbToolbar->widgetForAction(action))) {
            button->setFixedSize(Twips::ToPixels(525), Twips::ToPixels(615));
            button->setFont(small);
            button->setAccessibleName(QString::fromLatin1(b.tip));
            m_zoom.font(button);
            m_toolButtons << button;
        }
        if (key == u"Timed") {
            action->setCheckable(true);
            tlbTimed = action;
        }
        connect(action, &QAction::triggered, this, [this, key] { tlbToolbar_ButtonClick(key); });
    }
}

void frmMain::buildStatusBar(QWidget *client)
{
    staStatusBar = new QStatusBar(client);
    staStatusBar->setObjectName(QStringLiteral("staStatusBar"));
    staStatusBar->setSizeGripEnabled(false);
    const int height = Twips::ToPixels(315);
    m_zoom.place(staStatusBar, QRect(0, ClientSize.height() - height, ClientSize.width(), height));
    KeepSystemColours(staStatusBar);
    // The four panels side by side at their designed widths, placed by hand: the bar's own
    // layout would add spacing and push the last panel past the window's edge.
    const int widths[] = {0, 3270, 1200, 1200, 600};
    int left = 1;
    for (int i = 1; i <= 4; ++i) {
        staPanel[i] = new QLabel(staStatusBar);
        staPanel[i]->setObjectName(QStringLiteral("staStatusBarPanel%1").arg(i));
        staPanel[i]->setTextFormat(Qt::PlainText);
        staPanel[i]->setFrameShape(QFrame::Panel);
        staPanel[i]->setFrameShadow(QFrame::Sunken);
        staPanel[i]->setIndent(2);
        m_zoom.place(staPanel[i], QRect(left, 1, Twips::ToPixels(widths[i]), height - 2));
        left += Twips::ToPixels(widths[i]) + 1;
    }
}


// --- load and unload --------------------------------------------------------------------------

void frmMain::Form_Load()
{
    basMain::Trap([this] {
        basGame::LoadGameSettings();
        PlaySettings::Load();
        QuestionChoice::Load();
        Scripture::Preload();
        if (PlaySettings::Play.FullScreen)
            SetFullScreen(true);
        else
            ApplyZoom();
        SetColor(QStringLiteral("Window"));
        SetColor(QStringLiteral("Window Text"));
        mnuViewStatusBar->setChecked(true);
        mnuViewToolbar->setChecked(true);
        session->data().DatabaseName = basMain::DatabasePath;
        session->data().Refresh();
        StartNewGame();
        SetTimedGame(GameSettings.Timed);
    });
}

void frmMain::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    QMainWindow::closeEvent(event);
}

void frmMain::Form_Unload()
{
    basGame::SaveGameSettings();
    PlaySettings::Save();
    // Every other window of the program goes with the main window (the help viewer included).
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        if (*it != this && (*it)->isVisible())
            (*it)->close();
}

void frmMain::keyPressEvent(QKeyEvent *event)
{
    // Enter presses the focused button, or else the default button "New Question".
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto *focused = qobject_cast<QPushButton *>(QApplication::focusWidget());
            focused && focused->isEnabled() && focused->isVisible() && focused->window() == this) {
            focused->click();
            return;
        }
        if (cmdNewQuestion->isEnabled()) {
            cmdNewQuestion->click();
            return;
        }
    }
    QMainWindow::keyPressEvent(event);
}

// --- the game: thin handlers over the session ---------------------------------------------------

void frmMain::StartNewGame() { session->StartNewGame(); }

void frmMain::session_GameStarted(bool dealt)
{
    ShowPassage(false);
    ShowCorrectAnswer(false);
    ShowResult(false);
    cmdNewQuestion->setEnabled(false);
    ShowFace(imgFaceNeutral);
    LoadAnswers();
    EnableAnswers(dealt);
    UpdateStatus();
}

void frmMain::cmdNewQuestion_Click()
{
    cmdNewQuestion->setEnabled(false);
    session->NextQuestion();
}

void frmMain::session_QuestionDealt()
{
    ShowPassage(false);
    ShowCorrectAnswer(false);
    ShowResult(false);
    ShowFace(imgFaceNeutral);
    LoadAnswers();
    EnableAnswers(true);
    UpdateStatus();
}

void frmMain::session_GameOver()
{
    MsgBox::show(QStringLiteral("Game Over!"), MsgBox::OkOnly, QString::fromLatin1(Title));
    if (HighScoreAchieved())
        showScores(this);
    // Then every answer of the game, to talk over and to hand out as a study list.
    if (!session->Answers().isEmpty())
        mnuGameReview_Click();
}

bool frmMain::HighScoreAchieved() { return session->HighScoreAchieved(); }

void frmMain::showBoundQuestion()
{
    QString text;
    try {
        const DataControl &dat = session->data();
        if (dat.isOpen() && dat.recordset().hasCurrent())
            text = dat.recordset().Field(QStringLiteral("Question")).toString();
    } catch (const std::exception &) {
        // A bound label shows nothing for a row it cannot read; the code that reads the row
        // for the game reports the error.
    }
    m_question = text;
    FitQuestion();
}

void frmMain::FitText(QLabel *label, const QFont &font, qreal smallest, const QString &text)
{
    // Drawn smaller rather than cut off; a text still too long at the smallest size is cut at a
    // word and ends in an ellipsis.
    QFont fitted = font;
    label->setFont(fitted);
    label->setText(text);
    auto fits = [label] { return label->heightForWidth(label->width()) <= label->height(); };
    while (!fits() && fitted.pointSizeF() > smallest) {
        fitted.setPointSizeF(std::max(smallest, fitted.pointSizeF() - 0.25));
        label->setFont(fitted);
    }
    for (QString shown = text; !fits() && shown.contains(u' ');) {
        shown.truncate(shown.lastIndexOf(u' '));
        label->setText(shown + QStringLiteral(" \u2026"));
    }
}

void frmMain::FitQuestion() { FitText(lblQuestion, fraQuestion->font(), 6.0 * m_zoom.factor(), m_question); }

void frmMain::LoadAnswers()
{
    // An ampersand in an answer is text, not an access key.
    for (int i = 1; i <= 4; ++i)
        cmdAnswer[i]->setText(session->answerText(i).replace(u'&', QStringLiteral("&&")));
}

void frmMain::cmdAnswer_Click(int Index)
{
    // Keys reach here too: an answer counts only while its button can be clicked.
    if (Index >= 1 && Index <= 4 && cmdAnswer[Index]->isEnabled())
        session->Answer(Index);
}

void frmMain::session_Answered(int, bool correct)
{
    EnableAnswers(false);
    ShowCorrectAnswer(true);
    ShowFace(correct ? imgFaceSmile : imgFaceFrown);
    ShowResult(true);
    UpdateStatus();
    cmdNewQuestion->setEnabled(true);
    // In full screen the passage shows by itself, for everyone in the room to read.
    if (isFullScreen())
        ShowPassage(true);
    else if (!txtPassage->isHidden())
        ShowPassage(true); // the panel follows the question now answered
}

void frmMain::ShowFace(QLabel *imgFace)
{
    for (QLabel *face : {imgFaceFrown, imgFaceNeutral, imgFaceSmile})
        face->setVisible(face == imgFace);
}

void frmMain::ShowCorrectAnswer(bool blnShow)
{
    basMain::Trap([this, blnShow] {
        if (!blnShow) {
            for (int i = 1; i <= 4; ++i)
                imgHand[i]->hide();
            return;
        }
        for (const int i : session->CorrectButtons())
            imgHand[i]->show();
    });
}

void frmMain::ShowResult(bool blnShow)
{
    basMain::Trap([this, blnShow] {
        if (blnShow) {
            const basGame::PlayerRecord &p = GameSettings.Players[session->currentPlayer()];
            lblResult->setText(p.Points < 1 ? QStringLiteral("WRONG") : QStringLiteral("CORRECT"));
            lblReference->setText(session->Reference());
            lblPoints->setText(QString::number(p.Points) + QStringLiteral(" Points"));
        }
        for (QLabel *label : {lblResult, lblReference, lblPoints})
            label->setVisible(blnShow);
    });
}

void frmMain::EnableAnswers(bool blnEnabled)
{
    for (int i = 1; i <= 4; ++i)
        cmdAnswer[i]->setEnabled(blnEnabled);
}

// --- the passage ---------------------------------------------------------------------------------

void frmMain::ShowPassage(bool blnShow)
{
    // Only an answered question's passage is shown: before that it would give the answer away.
    const bool answered = session->state() == GameSession::State::Answered || session->state() == GameSession::State::GameOver;
    blnShow = blnShow && answered && !session->Answers().isEmpty();
    if (blnShow) {
        const Scripture::Passage passage = Scripture::Find(session->Answers().constLast().reference);
        m_passage = passage.body.isEmpty() ? passage.title : passage.title + u'\n' + passage.body;
    }
    mnuViewPassage->setChecked(blnShow);
    txtPassage->setVisible(blnShow);
    FitWindow();
    if (blnShow)
        FitText(txtPassage, ZoomLayout::scaled(gameFont(), m_zoom.factor()), 6.5 * m_zoom.factor(), m_passage);
}

void frmMain::mnuViewPassage_Click() { ShowPassage(txtPassage->isHidden()); }

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lblReference && event->type() == QEvent::MouseButtonRelease && lblReference->isVisible()) {
        ShowPassage(txtPassage->isHidden());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- zoom and full screen ------------------------------------------------------------------------

qreal frmMain::FullScreenZoom(const QSize &screen, int passageHeight)
{
    // The largest zoom at which the game area and the passage under it fit the screen.
    const qreal across = qreal(screen.width()) / ClientSize.width();
    const qreal down = qreal(screen.height()) / (ClientSize.height() + passageHeight);
    return std::max(1.0, std::min(across, down));
}

void frmMain::ApplyZoom()
{
    const qreal factor = isFullScreen() ? FullScreenZoom(screen() ? screen()->size() : size(), PassageHeight)
                                        : PlaySettings::Play.Zoom / 100.0;
    m_zoom.apply(factor);
    client->setFixedSize(ZoomLayout::scaled(QRect(QPoint(), ClientSize), factor).size());
    // The toolbar's buttons and pictures grow with the rest; the pictures are drawn smoothly.
    // An icon is never drawn larger than its pictures, so each is given its picture at the size.
    tlbToolbar->setIconSize(QSize(16, 15) * factor);
    for (const auto &[action, image] : std::as_const(m_toolImages))
        action->setIcon(factor == 1.0 ? image : image.scaled(image.size() * factor, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    for (QToolButton *button : std::as_const(m_toolButtons)) {
        button->setFixedSize(ZoomLayout::scaled(QRect(0, 0, Twips::ToPixels(525), Twips::ToPixels(615)), factor).size());
        // Text does not grow quite in step with its size in points; a little less keeps every
        // caption whole on its button.
        if (factor != 1.0) {
            QFont caption = button->font();
            caption.setPointSizeF(caption.pointSizeF() * 0.92);
            button->setFont(caption);
        }
    }
    menuBar()->setFont(ZoomLayout::scaled(QApplication::font(menuBar()), factor));
    txtPassage->setFixedHeight(ZoomLayout::scaled(PassageHeight, factor));
    FitQuestion();
    if (!txtPassage->isHidden())
        FitText(txtPassage, ZoomLayout::scaled(gameFont(), factor), 6.5 * factor, m_passage);
    mnuViewZoomIn->setEnabled(!isFullScreen() && PlaySettings::Play.Zoom < PlaySettings::MaxZoom);
    mnuViewZoomOut->setEnabled(!isFullScreen() && PlaySettings::Play.Zoom > PlaySettings::MinZoom);
    mnuViewActualSize->setEnabled(!isFullScreen());
    FitWindow();
}

void frmMain::FitWindow()
{
    stage->relayout();
    if (isFullScreen())
        return;
    // In a window the game keeps its designed size: the window is just big enough for it, and
    // stays on the screen when it grows.
    stage->setFixedSize(stage->contentSize());
    setFixedSize(sizeHint().width(), menuBar()->sizeHint().height() + stage->height());
    if (const QScreen *screen = QApplication::primaryScreen()) {
        const QRect room = screen->availableGeometry();
        QRect frame = frameGeometry();
        if (!isVisible())
            frame.moveCenter(room.center());
        frame.moveLeft(std::max(room.left(), std::min(frame.left(), room.right() - frame.width())));
        frame.moveTop(std::max(room.top(), std::min(frame.top(), room.bottom() - frame.height())));
        move(frame.topLeft());
    }
}

void frmMain::SetZoom(int percent)
{
    PlaySettings::Play.Zoom = PlaySettings::ValidZoom(percent);
    ApplyZoom();
}

void frmMain::mnuViewZoomIn_Click() { SetZoom(PlaySettings::Play.Zoom + PlaySettings::ZoomStep); }
void frmMain::mnuViewZoomOut_Click() { SetZoom(PlaySettings::Play.Zoom - PlaySettings::ZoomStep); }
void frmMain::mnuViewActualSize_Click() { SetZoom(PlaySettings::MinZoom); }

void frmMain::mnuViewFullScreen_Click() { SetFullScreen(!isFullScreen()); }

void frmMain::SetFullScreen(bool blnFull)
{
    PlaySettings::Play.FullScreen = blnFull;
    if (blnFull) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        stage->setMinimumSize(0, 0);
        stage->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        menuBar()->hide();
        // The window takes the whole screen itself first, where no window manager does it; a
        // resize after showFullScreen() would leave full screen again.
        if (const QScreen *screen = this->screen())
            setGeometry(screen->geometry());
        showFullScreen();
    } else {
        menuBar()->show();
        showNormal();
    }
    mnuViewFullScreen->setChecked(blnFull);
    ApplyZoom();
}

// --- timer and status --------------------------------------------------------------------------

void frmMain::tmrGame_Timer()
{
    if (GameSettings.Timed)
        staPanel[2]->setText(QStringLiteral("Time: ") + QString::number(session->seconds()));
}

void frmMain::SetTimedGame(bool blnTimed) { session->SetTimedGame(blnTimed); }

void frmMain::session_TimedChanged(bool timed)
{
    tlbTimed->setChecked(timed);
    UpdateStatus();
}

void frmMain::UpdateStatus()
{
    const basGame::PlayerRecord &p = GameSettings.Players[session->currentPlayer()];
    staPanel[1]->setText(p.Name);
    staPanel[2]->setText(GameSettings.Timed ? QStringLiteral("Time: ") + QString::number(session->seconds()) : QString());
    staPanel[3]->setText(QStringLiteral("Score: ") + QString::number(p.Score));
    staPanel[4]->setText(QString::number(p.Percent) + u'%');
}

// --- colours -----------------------------------------------------------------------------------

void frmMain::SetColor(const QString &strObject)
{
    // The window itself first (the stage it stands on, the whole screen in full screen, and the
    // game area), then the frames and labels; the passage panel under the game goes with them.
    const QList<QWidget *> targets{stage, client, fraQuestion, lblQuestion, fraResult, lblResult, lblReference, lblPoints,
                                   txtPassage};
    if (strObject == u"Window") {
        const QColor colour = ColorChooser::fromSetting(basGame::PaintableColor(GameSettings.WinClr, basGame::DefaultWinClr));
        for (QWidget *target : targets) {
            QPalette palette = target->palette();
            palette.setColor(QPalette::Window, colour);
            target->setPalette(palette);
        }
    } else if (strObject == u"Window Text") {
        const QColor colour = ColorChooser::fromSetting(basGame::PaintableColor(GameSettings.WinTxtClr, basGame::DefaultWinTxtClr));
        for (QWidget *target : targets.mid(2)) {
            QPalette palette = target->palette();
            palette.setColor(QPalette::WindowText, colour);
            target->setPalette(palette);
        }
    }
}

// --- menus and toolbar ---------------------------------------------------------------------------

void frmMain::showScores(QWidget *owner)
{
    frmScores scores(owner);
    scores.exec();
}

void frmMain::showOptions(int page)
{
    frmOptions options(this, *session);
    connect(&options, &frmOptions::colorChanged, this, &frmMain::SetColor);
    options.setCurrentPage(page);
    options.exec();
}

void frmMain::mnuGameNew_Click()
{
    if (HighScoreAchieved())
        showScores(this);
    StartNewGame();
}

void frmMain::mnuGameHighScores_Click() { showScores(this); }

void frmMain::mnuGameReview_Click()
{
    frmReview review(this, *session);
    review.exec();
}

void frmMain::mnuGameExit_Click()
{
    if (HighScoreAchieved())
        showScores(this);
    close();
}

void frmMain::mnuOption_Click(int Index) { showOptions(Index); }

void frmMain::mnuToolsCompactDatabase_Click()
{
    basDatabase::CompactDatabase(session->data(), basMain::DatabasePath, progress.get());
    StartNewGame();
}

void frmMain::mnuToolsRepairDatabase_Click()
{
    basDatabase::RepairDatabase(session->data(), basMain::DatabasePath, progress.get());
    StartNewGame();
}

void frmMain::mnuToolsImportQuestions_Click() { QuestionTools::ImportQuestions(this, *session, *progress); }

void frmMain::mnuToolsExportQuestions_Click() { QuestionTools::ExportQuestions(this, *session); }

void frmMain::mnuViewToolbar_Click()
{
    // The action has already flipped its tick; the bar follows it, and nothing else moves.
    tlbToolbar->setVisible(mnuViewToolbar->isChecked());
}

void frmMain::mnuViewStatusBar_Click() { staStatusBar->setVisible(mnuViewStatusBar->isChecked()); }

void frmMain::mnuHelpContents_Click() { HelpViewer::ShowContents(this, HelpViewer::DefaultHelpFile()); }
void frmMain::mnuHelpTopics_Click() { HelpViewer::ShowIndex(this, HelpViewer::DefaultHelpFile()); }
void frmMain::mnuHelpUsing_Click() { HelpViewer::ShowHelpOnHelp(this, HelpViewer::DefaultHelpFile()); }

void frmMain::mnuHelpAbout_Click()
{
    frmAbout about(this);
    about.exec();
}

void frmMain::tlbToolbar_ButtonClick(const QString &key)
{
    if (key == u"New")
        mnuGameNew_Click();
    else if (key == u"Scores")
        mnuGameHighScores_Click();
    else if (key == u"Colors")
        showOptions(0);
    else if (key == u"Players")
        showOptions(1);
    else if (key == u"Testament")
        showOptions(2);
    else if (key == u"Timed")
        SetTimedGame(!GameSettings.Timed); // the status bar follows the mode at once
    else if (key == u"About")
        mnuHelpAbout_Click();
    else if (key == u"Exit")
        mnuGameExit_Click();
}
