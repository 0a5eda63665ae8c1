#include "app/frmMain.h"

#include "app/CaptionFrame.h"
#include "db/DataControl.h"
#include "db/Recordset.h"
#include "game/GameSession.h"
#include "help/HelpViewer.h"
#include "core/MessageBox.h"
#include "resources/Twips.h"
#include "db/basDatabase.h"
#include "settings/basGame.h"
#include "core/basMain.h"
#include "settings/QuestionChoice.h"

#include "about/frmAbout.h"
#include "options/ColorChooser.h"
#include "options/frmOptions.h"
#include "questions/ProgressDialog.h"
#include "questions/QuestionTools.h"
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

QLabel *picture(QWidget *parent, const QString &name, const QString &resource, const QString &accessible)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(Resources::picture(resource));
    label->setAccessibleName(accessible);
    return label;
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

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setFixedSize(Twips::ToPixels(6345), Twips::ToPixels(5475));
    client->setAutoFillBackground(true);
    setCentralWidget(client);

    buildMenus();
    buildToolbar(client);
    buildGameArea(client);
    buildStatusBar(client);

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

    adjustSize();
    setFixedSize(sizeHint());
    if (const QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

frmMain::~frmMain() = default;

void frmMain::buildGameArea(QWidget *client)
{
    const QFont font = gameFont();

    fraQuestion = new CaptionFrame(QStringLiteral("Question"), client);
    fraQuestion->setObjectName(QStringLiteral("fraQuestion"));
    fraQuestion->setGeometry(Twips::Rect(150, 750, 6015, 915));
    fraQuestion->setFont(font);
    lblQuestion = new QLabel(QStringLiteral("Question"), fraQuestion);
    lblQuestion->setObjectName(QStringLiteral("lblQuestion"));
    // Down to the frame's lower border, so that a question of three lines fits.
    lblQuestion->setGeometry(Twips::Rect(150, 200, 5715, 600).adjusted(0, 0, 0, Twips::ToPixels(915 - 800) - 3));
    lblQuestion->setTextFormat(Qt::PlainText);
    lblQuestion->setWordWrap(true);
    lblQuestion->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    for (int i = 1; i <= 4; ++i) {
        const int top = 1950 + 450 * (i - 1);
        imgHand[i] = picture(client, QStringLiteral("imgHand%1").arg(i), QStringLiteral("HAND"),
                             QStringLiteral("Correct answer %1").arg(i));
        imgHand[i]->setGeometry(Twips::Rect(300, top, 480, 480));
        imgHand[i]->hide();

        cmdAnswer[i] = new QPushButton(QStringLiteral("Answer %1").arg(i), client);
        cmdAnswer[i]->setObjectName(QStringLiteral("cmdAnswer%1").arg(i));
        cmdAnswer[i]->setGeometry(Twips::Rect(900, top, 5265, 375));
        cmdAnswer[i]->setFont(font);
        connect(cmdAnswer[i], &QPushButton::clicked, this, [this, i] { cmdAnswer_Click(i); });
    }

    fraResult = new CaptionFrame(QStringLiteral("Result"), client);
    fraResult->setObjectName(QStringLiteral("fraResult"));
    fraResult->setGeometry(Twips::Rect(300, 3750, 3915, 1215));
    fraResult->setFont(font);
    auto resultLabel = [this](const QString &name, int top) {
        auto *label = new QLabel(name.mid(3), fraResult);
        label->setObjectName(name);
        label->setGeometry(Twips::Rect(150, top, 3615, 285));
        label->setAlignment(Qt::AlignCenter);
        label->setTextFormat(Qt::PlainText);
        return label;
    };
    lblResult = resultLabel(QStringLiteral("lblResult"), 255);
    lblReference = resultLabel(QStringLiteral("lblReference"), 555);
    lblPoints = resultLabel(QStringLiteral("lblPoints"), 855);

    cmdNewQuestion = new QPushButton(QStringLiteral("&New Question"), client);
    cmdNewQuestion->setObjectName(QStringLiteral("cmdNewQuestion"));
    cmdNewQuestion->setGeometry(Twips::Rect(4455, 3900, 1515, 465));
    cmdNewQuestion->setFont(font);
    connect(cmdNewQuestion, &QPushButton::clicked, this, &frmMain::cmdNewQuestion_Click);

    imgFaceSmile = picture(client, QStringLiteral("imgFaceSmile"), QStringLiteral("FACE_SMILE"), QStringLiteral("Smiling face"));
    imgFaceNeutral = picture(client, QStringLiteral("imgFaceNeutral"), QStringLiteral("FACE_NEUTRAL"), QStringLiteral("Neutral face"));
    imgFaceFrown = picture(client, QStringLiteral("imgFaceFrown"), QStringLiteral("FACE_FROWN"), QStringLiteral("Frowning face"));
    for (QLabel *face : {imgFaceSmile, imgFaceNeutral, imgFaceFrown})
        face->setGeometry(Twips::Rect(4950, 4500, 480, 480));
    imgFaceSmile->hide();
    imgFaceFrown->hide();

    setTabOrder(cmdAnswer[1], cmdAnswer[2]);
    setTabOrder(cmdAnswer[2], cmdAnswer[3]);
    setTabOrder(cmdAnswer[3], cmdAnswer[4]);
    setTabOrder(cmdAnswer[4], cmdNewQuestion);
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
    tlbToolbar->setGeometry(0, 0, client->width(), Twips::ToPixels(615));
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
        QAction *action = tlbToolbar->addAction(Resources::picture(QString::fromLatin1(b.image)), QString::fromLatin1(b.caption));
        action->setObjectName(QStringLiteral("tlbButton") + key);
        action->setData(key);
        action->setToolTip(QString::fromLatin1(b.tip));
        if (auto *button = qobject_cast<QToolButton *>(tlbToolbar->widgetForAction(action))) {
            button->setFixedSize(Twips::ToPixels(525), Twips::ToPixels(615));
            button->setFont(small);
            button->setAccessibleName(QString::fromLatin1(b.tip));
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
    staStatusBar->setGeometry(0, client->height() - height, client->width(), height);
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
        staPanel[i]->setGeometry(left, 1, Twips::ToPixels(widths[i]), height - 2);
        left += Twips::ToPixels(widths[i]) + 1;
    }
}


// --- load and unload --------------------------------------------------------------------------

void frmMain::Form_Load()
{
    basMain::Trap([this] {
        basGame::LoadGameSettings();
        QuestionChoice::Load();
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
    lblQuestion->setText(text);
    FitQuestion();
}

void frmMain::FitQuestion()
{
    // A question too long for three lines is drawn smaller rather than cut off.
    QFont font = fraQuestion->font();
    lblQuestion->setFont(font);
    while (lblQuestion->heightForWidth(lblQuestion->width()) > lblQuestion->height() && font.pointSizeF() > 6.0) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
        lblQuestion->setFont(font);
    }
}

void frmMain::LoadAnswers()
{
    // An ampersand in an answer is text, not an access key.
    for (int i = 1; i <= 4; ++i)
        cmdAnswer[i]->setText(session->answerText(i).replace(u'&', QStringLiteral("&&")));
}

void frmMain::cmdAnswer_Click(int Index) { session->Answer(Index); }

void frmMain::session_Answered(int, bool correct)
{
    EnableAnswers(false);
    ShowCorrectAnswer(true);
    ShowFace(correct ? imgFaceSmile : imgFaceFrown);
    ShowResult(true);
    UpdateStatus();
    cmdNewQuestion->setEnabled(true);
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
    const QList<QWidget *> targets{centralWidget(), fraQuestion, lblQuestion, fraResult, lblResult, lblReference, lblPoints};
    if (strObject == u"Window") {
        const QColor colour = ColorChooser::fromSetting(basGame::PaintableColor(GameSettings.WinClr, basGame::DefaultWinClr));
        for (QWidget *target : targets) {
            QPalette palette = target->palette();
            palette.setColor(QPalette::Window, colour);
            target->setPalette(palette);
        }
    } else if (strObject == u"Window Text") {
        const QColor colour = ColorChooser::fromSetting(basGame::PaintableColor(GameSettings.WinTxtClr, basGame::DefaultWinTxtClr));
        for (QWidget *target : targets.mid(1)) {
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
