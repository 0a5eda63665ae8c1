#include "app/frmMain.h"

#include "app/CaptionFrame.h"
#include "db/DataControl.h"
#include "help/HelpViewer.h"
#include "core/MessageBox.h"
#include "settings/NumericText.h"
#include "db/Recordset.h"
#include "resources/Twips.h"
#include "db/basDatabase.h"
#include "settings/basGame.h"
#include "core/basMain.h"

#include "about/frmAbout.h"
#include "game/GameRules.h"
#include "game/QuestionDeck.h"
#include "game/Random.h"
#include "options/ColorChooser.h"
#include "options/frmOptions.h"
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
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <limits>

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

    datQuillory = new DataControl(this);
    datQuillory->setObjectName(QStringLiteral("datQuillory"));
    datQuillory->Connect = QString::fromLatin1(basMain::ConnectString);
    datQuillory->RecordSource = QString::fromLatin1(QuestionDeck::TableName);

    tmrGame = new QTimer(this);
    tmrGame->setObjectName(QStringLiteral("tmrGame"));
    tmrGame->setInterval(1000);
    connect(tmrGame, &QTimer::timeout, this, &frmMain::tmrGame_Timer);

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setFixedSize(Twips::ToPixels(6345), Twips::ToPixels(5475));
    client->setAutoFillBackground(true);
    setCentralWidget(client);

    buildMenus();
    buildToolbar(client);
    buildGameArea(client);
    buildStatusBar(client);

    // The question label is bound to the Question field of the deck's current row.
    connect(datQuillory, &DataControl::currentRecordChanged, this, &frmMain::showBoundQuestion);

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
        answerTexts[std::size_t(i)] = cmdAnswer[i]->text();
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

    QMenu *tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("mnuTools"));
    item(tools, QStringLiteral("mnuToolsCompactDatabase"), QStringLiteral("&Compact Database"), &frmMain::mnuToolsCompactDatabase_Click);
    item(tools, QStringLiteral("mnuToolsRepairDatabase"), QStringLiteral("&Repair Database"), &frmMain::mnuToolsRepairDatabase_Click);

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

QString frmMain::answerCaption(int Index) const
{
    return Index >= 1 && Index <= 4 ? answerTexts[std::size_t(Index)] : QString();
}

// --- load and unload --------------------------------------------------------------------------

void frmMain::Form_Load()
{
    basMain::Trap([this] {
        basGame::LoadGameSettings();
        SetColor(QStringLiteral("Window"));
        SetColor(QStringLiteral("Window Text"));
        mnuViewStatusBar->setChecked(true);
        mnuViewToolbar->setChecked(true);
        datQuillory->DatabaseName = basMain::DatabasePath;
        datQuillory->Refresh();
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
    tmrGame->stop();
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

// --- game state and turns ----------------------------------------------------------------------

void frmMain::StartNewGame()
{
    basMain::Trap([this] {
        ShowCorrectAnswer(false);
        EnableAnswers(true);
        ShowResult(false);
        cmdNewQuestion->setEnabled(false);
        ShowFace(imgFaceNeutral);
        ShuffleQuestions();
        const std::optional<bool> dealt = DrawFirstQuestion();
        // Without a question (none of the testament, or a deck that cannot be read) nothing can
        // be answered until the next new game.
        if (dealt == true)
            LoadAnswers();
        else
            EnableAnswers(false);
        ResetPlayerStats();
        intCurPlayer = 1;
        tmrGame->stop();
        intSeconds = 0;
        UpdateStatus();
        if (dealt == false)
            MsgBox::show(NoQuestionsText(), MsgBox::Exclamation, QString::fromLatin1(Title));
        if (dealt == true)
            tmrGame->start();
    });
}

std::optional<bool> frmMain::DrawFirstQuestion()
{
    std::optional<bool> dealt;
    basMain::Trap([&] { dealt = QuestionDeck::DrawFirst(datQuillory->recordset(), GameSettings.Testament); });
    return dealt;
}

QString frmMain::NoQuestionsText()
{
    if (GameSettings.Testament == u"OT" || GameSettings.Testament == u"NT")
        return QStringLiteral("The question database holds no %1 Testament questions. Choose another testament on the "
                              "Testament page of the options.")
            .arg(GameSettings.Testament == u"OT" ? QStringLiteral("Old") : QStringLiteral("New"));
    return QStringLiteral("The question database holds no questions.");
}

void frmMain::cmdNewQuestion_Click()
{
    basMain::Trap([this] {
        cmdNewQuestion->setEnabled(false);
        if (DrawNextQuestion()) {
            ShowCorrectAnswer(false);
            ShowResult(false);
            ShowFace(imgFaceNeutral);
            LoadAnswers();
            EnableAnswers(true);
            NextPlayer();
            intSeconds = 0;
            tmrGame->start();
            UpdateStatus();
        } else {
            tmrGame->stop();
            MsgBox::show(QStringLiteral("Game Over!"), MsgBox::OkOnly, QString::fromLatin1(Title));
            if (HighScoreAchieved())
                showScores(this);
        }
    });
}

void frmMain::NextPlayer()
{
    basMain::Trap([this] { intCurPlayer = GameRules::NextPlayer(intCurPlayer, GameSettings.PlayerCnt); });
}

void frmMain::ResetPlayerStats()
{
    basMain::Trap([this] {
        for (int i = 1; i <= basGame::MaxPlayers; ++i) {
            basGame::PlayerRecord &p = GameSettings.Players[i];
            p.Score = p.Answered = p.Correct = p.Points = 0;
            p.Percent = 0;
        }
        blnScored = false;
        blnOffered = false;
    });
}

bool frmMain::HighScoreAchieved()
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
            if (frmScores::IsHighScore(p.Name, p.Score, p.Percent))
                result = true;
        }
    });
    return result;
}

// --- the question deck -------------------------------------------------------------------------

void frmMain::ShuffleQuestions()
{
    // The hourglass goes back whatever happens.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    basMain::Trap([this] {
        datQuillory->RefreshIfStale();
        QuestionDeck::Shuffle(*datQuillory);
    });
    QApplication::restoreOverrideCursor();
}

bool frmMain::DrawNextQuestion()
{
    return QuestionDeck::DrawNext(datQuillory->recordset(), GameSettings.Testament);
}

void frmMain::showBoundQuestion()
{
    QString text;
    try {
        if (datQuillory->isOpen() && datQuillory->recordset().hasCurrent())
            text = datQuillory->recordset().Field(QStringLiteral("Question")).toString();
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

// --- answering and the result panel --------------------------------------------------------------

void frmMain::LoadAnswers()
{
    basMain::Trap([this] {
        std::array<qint16, 4> order{};
        Random::ShuffleArray<qint16>(order, 1);
        const Recordset &row = datQuillory->recordset();
        std::array<QString, 5> texts;
        for (int i = 1; i <= 4; ++i)
            texts[std::size_t(i)] = row.FieldText(QStringLiteral("Answer%1").arg(i));
        for (int i = 1; i <= 4; ++i) {
            answerTexts[std::size_t(i)] = texts[std::size_t(order[std::size_t(i - 1)])];
            // An ampersand in an answer is text, not an access key.
            cmdAnswer[i]->setText(QString(answerTexts[std::size_t(i)]).replace(u'&', QStringLiteral("&&")));
        }
    });
}

void frmMain::cmdAnswer_Click(int Index)
{
    basMain::Trap([this, Index] {
        tmrGame->stop();
        EnableAnswers(false);
        ShowCorrectAnswer(true);
        const bool correct = answerCaption(Index) == datQuillory->recordset().FieldText(QStringLiteral("Answer1"));
        ShowFace(correct ? imgFaceSmile : imgFaceFrown);
        AwardPoints(correct);
        UpdateStats(correct);
        ShowResult(true);
        UpdateStatus();
        cmdNewQuestion->setEnabled(true);
    });
}

void frmMain::AwardPoints(bool blnCorrect)
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

void frmMain::UpdateStats(bool blnCorrect)
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

void frmMain::ShowFace(QLabel *imgFace)
{
    basMain::Trap([this, imgFace] {
        for (QLabel *face : {imgFaceFrown, imgFaceNeutral, imgFaceSmile})
            face->setVisible(face == imgFace);
    });
}

void frmMain::ShowCorrectAnswer(bool blnShow)
{
    basMain::Trap([this, blnShow] {
        if (!blnShow) {
            for (int i = 1; i <= 4; ++i)
                imgHand[i]->hide();
            return;
        }
        const QString correct = datQuillory->recordset().FieldText(QStringLiteral("Answer1"));
        for (int i = 1; i <= 4; ++i)
            if (answerCaption(i) == correct)
                imgHand[i]->show();
    });
}

void frmMain::ShowResult(bool blnShow)
{
    basMain::Trap([this, blnShow] {
        if (blnShow) {
            const basGame::PlayerRecord &p = GameSettings.Players[intCurPlayer];
            lblResult->setText(p.Points < 1 ? QStringLiteral("WRONG") : QStringLiteral("CORRECT"));
            lblReference->setText(datQuillory->recordset().FieldText(QStringLiteral("Reference")));
            lblPoints->setText(QString::number(p.Points) + QStringLiteral(" Points"));
        }
        for (QLabel *label : {lblResult, lblReference, lblPoints})
            label->setVisible(blnShow);
    });
}

void frmMain::EnableAnswers(bool blnEnabled)
{
    basMain::Trap([this, blnEnabled] {
        for (int i = 1; i <= 4; ++i)
            cmdAnswer[i]->setEnabled(blnEnabled);
    });
}

// --- timer and status --------------------------------------------------------------------------

void frmMain::tmrGame_Timer()
{
    // The count stops at the largest 16-bit value instead of overflowing (nine hours on one
    // question); the timer is switched off there.
    if (intSeconds == std::numeric_limits<qint16>::max()) {
        tmrGame->stop();
        return;
    }
    ++intSeconds;
    if (GameSettings.Timed)
        staPanel[2]->setText(QStringLiteral("Time: ") + QString::number(intSeconds));
}

void frmMain::SetTimedGame(bool blnTimed)
{
    basMain::Trap([this, blnTimed] {
        GameSettings.Timed = blnTimed;
        tlbTimed->setChecked(blnTimed);
        UpdateStatus();
    });
}

void frmMain::UpdateStatus()
{
    basMain::Trap([this] {
        const basGame::PlayerRecord &p = GameSettings.Players[intCurPlayer];
        staPanel[1]->setText(p.Name);
        staPanel[2]->setText(GameSettings.Timed ? QStringLiteral("Time: ") + QString::number(intSeconds) : QString());
        staPanel[3]->setText(QStringLiteral("Score: ") + QString::number(p.Score));
        staPanel[4]->setText(QString::number(p.Percent) + u'%');
    });
}

// --- colours -----------------------------------------------------------------------------------

void frmMain::SetColor(const QString &strObject)
{
    basMain::Trap([this, &strObject] {
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
    });
}

// --- menus and toolbar ---------------------------------------------------------------------------

void frmMain::showScores(QWidget *owner)
{
    frmScores scores(owner);
    scores.exec();
}

void frmMain::showOptions(int page)
{
    frmOptions options(this);
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
    basDatabase::CompactDatabase(*datQuillory, basMain::DatabasePath);
    StartNewGame();
}

void frmMain::mnuToolsRepairDatabase_Click()
{
    basDatabase::RepairDatabase(*datQuillory, basMain::DatabasePath);
    StartNewGame();
}

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
    else if (key == u"Timed") {
        SetTimedGame(!GameSettings.Timed);
        UpdateStatus();
    } else if (key == u"About")
        mnuHelpAbout_Click();
    else if (key == u"Exit")
        mnuGameExit_Click();
}
