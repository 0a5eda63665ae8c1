#include "options/frmOptions.h"

#include "options/ColorChooser.h"
#include "options/QuestionsPage.h"
#include "options/UpDown.h"

#include "resources/Twips.h"
#include "settings/basGame.h"
#include "core/basMain.h"
#include "game/GameSession.h"
#include "scores/frmScores.h"

#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>

using basGame::GameSettings;

namespace {
// Where a page's frame sits inside the tab control (its left and top in the layout) relative
// to the page widget Qt places below the tab bar.
constexpr int FrameLeft = 120;
constexpr int FrameTop = 450;
constexpr int PageTop = 375; // the tab bar and the page's border take this much of the height

QRadioButton *option(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry)
{
    auto *button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}
}

frmOptions::frmOptions(QWidget *owner, GameSession &session)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_session(session)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setFixedSize(Twips::ToPixels(6180), Twips::ToPixels(4140));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8.25);
    setFont(font);

    tabOptions = new QTabWidget(this);
    tabOptions->setObjectName(QStringLiteral("tabOptions"));
    tabOptions->setGeometry(Twips::Rect(150, 150, 5895, 3375));
    const QStringList captions{QStringLiteral("&Colors"), QStringLiteral("&Players"), QStringLiteral("&Testament"),
                               QStringLiteral("T&imed")};
    const int widths[] = {3435, 4035, 2535, 2535};
    for (int i = 0; i < 4; ++i) {
        auto *page = new QWidget;
        page->setObjectName(QStringLiteral("page%1").arg(i));
        fraOptions[i] = new QFrame(page);
        fraOptions[i]->setObjectName(QStringLiteral("fraOptions%1").arg(i));
        fraOptions[i]->setGeometry(Twips::Rect(FrameLeft, FrameTop - PageTop, widths[i], 2655));
        tabOptions->addTab(page, captions[i]);
    }

    // Colors
    QFrame *colors = fraOptions[0];
    optColors[1] = option(colors, QStringLiteral("optColors1"), QStringLiteral("Window"), Twips::Rect(150, 150, 1455, 315));
    optColors[2] = option(colors, QStringLiteral("optColors2"), QStringLiteral("Window Text"), Twips::Rect(150, 450, 1455, 315));
    cmdColor = new QPushButton(QStringLiteral("Color"), colors);
    cmdColor->setObjectName(QStringLiteral("cmdColor"));
    cmdColor->setGeometry(Twips::Rect(1950, 150, 1065, 315));
    cmdColor->setAutoDefault(false);
    connect(cmdColor, &QPushButton::clicked, this, &frmOptions::cmdColor_Click);

    // Players
    QFrame *players = fraOptions[1];
    auto label = [players](int index, const QString &text, const QRect &geometry) {
        auto *l = new QLabel(text, players);
        l->setObjectName(QStringLiteral("lblPlayers%1").arg(index));
        l->setGeometry(geometry);
        return l;
    };
    // Wider than the designed 1365 twips so the caption is not clipped in the installed font.
    lblPlayers[0] = label(0, QStringLiteral("Number of Players:"), Twips::Rect(150, 175, 1470, 300));
    mskPlayerCnt = new QLineEdit(players);
    mskPlayerCnt->setObjectName(QStringLiteral("mskPlayerCnt"));
    mskPlayerCnt->setGeometry(Twips::Rect(1650, 165, 285, 300));
    mskPlayerCnt->setInputMask(QStringLiteral("0;_"));
    mskPlayerCnt->setAccessibleName(QStringLiteral("Number of Players"));
    lblPlayers[0]->setBuddy(mskPlayerCnt);
    UpDownPlayerCnt = new UpDown(mskPlayerCnt, 1, basGame::MaxPlayers, players);
    UpDownPlayerCnt->setObjectName(QStringLiteral("UpDownPlayerCnt"));
    UpDownPlayerCnt->setGeometry(Twips::Rect(1920, 165, 240, 300));
    lblPlayers[1] = label(1, QStringLiteral("Player Names:"), Twips::Rect(450, 600, 1065, 300));
    for (int i = 1; i <= 4; ++i) {
        const int top = 900 + 450 * (i - 1);
        lblPlayers[std::size_t(i + 1)] = label(i + 1, QStringLiteral("%1.").arg(i), Twips::Rect(150, top, 165, 300));
        txtPlayer[std::size_t(i)] = new QLineEdit(players);
        QLineEdit *box = txtPlayer[std::size_t(i)];
        box->setObjectName(QStringLiteral("txtPlayer%1").arg(i));
        box->setGeometry(Twips::Rect(450, top, 2895, 300));
        box->setMaxLength(basGame::MaxNameLength);
        box->setAccessibleName(QStringLiteral("Player %1 name").arg(i));
        connect(box, &QLineEdit::textChanged, this, &frmOptions::markChanged);
    }
    connect(mskPlayerCnt, &QLineEdit::textChanged, this, &frmOptions::mskPlayerCnt_Change);

    // Testament and Timed: option buttons whose click (by the user or a program write that
    // selects them) counts as an edit.
    testamentGroup = new QButtonGroup(this);
    const QStringList testaments{QStringLiteral("Old"), QStringLiteral("New"), QStringLiteral("Both")};
    const int testamentWidths[] = {630, 705, 705};
    for (int i = 1; i <= 3; ++i) {
        optTestament[std::size_t(i)] = option(fraOptions[2], QStringLiteral("optTestament%1").arg(i), testaments[i - 1],
                                              Twips::Rect(150, 150 + 300 * (i - 1), testamentWidths[i - 1], 315));
        testamentGroup->addButton(optTestament[std::size_t(i)], i);
    }
    timedGroup = new QButtonGroup(this);
    optTimed[1] = option(fraOptions[3], QStringLiteral("optTimed1"), QStringLiteral("True"), Twips::Rect(150, 150, 690, 315));
    optTimed[2] = option(fraOptions[3], QStringLiteral("optTimed2"), QStringLiteral("False"), Twips::Rect(150, 450, 690, 315));
    timedGroup->addButton(optTimed[1], 1);
    timedGroup->addButton(optTimed[2], 2);
    for (QButtonGroup *group : {testamentGroup, timedGroup}) {
        connect(group, &QButtonGroup::buttonClicked, this, &frmOptions::markChanged);
        connect(group, &QButtonGroup::buttonToggled, this, [this](QAbstractButton *, bool checked) {
            if (checked)
                markChanged();
        });
    }

    // Questions: a page of its own after the four above.
    questionsPage = new QuestionsPage(m_session);
    tabOptions->addTab(questionsPage, QStringLiteral("&Questions"));
    connect(questionsPage, &QuestionsPage::changed, this, &frmOptions::markChanged);

    // The buttons below the pages.
    auto button = [this](const QString &name, const QString &caption, int left) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setGeometry(Twips::Rect(left, 3600, 975, 375));
        return b;
    };
    cmdOK = button(QStringLiteral("cmdOK"), QStringLiteral("OK"), 825);
    cmdDefault = button(QStringLiteral("cmdDefault"), QStringLiteral("Default"), 2010);
    cmdApply = button(QStringLiteral("cmdApply"), QStringLiteral("Apply"), 3195);
    cmdCancel = button(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), 4380);
    cmdOK->setDefault(true);
    for (QPushButton *b : {cmdDefault, cmdApply, cmdCancel})
        b->setAutoDefault(false);
    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOk_Click);
    connect(cmdDefault, &QPushButton::clicked, this, &frmOptions::cmdDefault_Click);
    connect(cmdApply, &QPushButton::clicked, this, &frmOptions::cmdApply_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);

    const QList<QWidget *> focusOrder{mskPlayerCnt, UpDownPlayerCnt, txtPlayer[1], txtPlayer[2], txtPlayer[3], txtPlayer[4],
                                      cmdOK, cmdDefault, cmdApply, cmdCancel, tabOptions, optTestament[1], optTestament[2],
                                      optTestament[3], optTimed[1], optTimed[2], cmdColor, optColors[1], optColors[2]};
    for (qsizetype i = 1; i < focusOrder.size(); ++i)
        setTabOrder(focusOrder[i - 1], focusOrder[i]);

    connect(tabOptions, &QTabWidget::currentChanged, this, [this](int index) {
        const int previous = m_currentTab;
        m_currentTab = index;
        tabOptions_Click(previous);
    });

    Form_Load();
}

frmOptions::~frmOptions() = default;

void frmOptions::setCurrentPage(int page) { tabOptions->setCurrentIndex(page); }

void frmOptions::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // In an option group the tab order reaches the selected option.
    auto selected = [](auto &options) -> QWidget * {
        for (QRadioButton *option : options)
            if (option && option->isChecked())
                return option;
        return options[1];
    };
    QWidget *first[] = {cmdColor, mskPlayerCnt, selected(optTestament), selected(optTimed)};
    const int page = tabOptions->currentIndex();
    if (page >= 0 && page < 4)
        first[page]->setFocus(Qt::TabFocusReason);
    else if (page == 4)
        questionsPage->firstControl()->setFocus(Qt::TabFocusReason);
}

// --- load ----------------------------------------------------------------------------------------

void frmOptions::Form_Load()
{
    LoadColorOptions();
    LoadPlayerOptions();
    LoadTestamentOption();
    LoadTimedOption();
    // Last: writing the controls above raised their change handlers, which enabled Apply.
    cmdApply->setEnabled(false);
}

void frmOptions::LoadColorOptions()
{
    optColors[1]->setChecked(true);
}

void frmOptions::LoadPlayerOptions()
{
    mskPlayerCnt->setText(QString::number(GameSettings.PlayerCnt));
    for (int i = 1; i <= basGame::MaxPlayers; ++i)
        txtPlayer[std::size_t(i)]->setText(GameSettings.Players[i].Name);
    colourNameBoxes(GameSettings.PlayerCnt);
}

void frmOptions::LoadTestamentOption()
{
    optTestament[1]->setChecked(GameSettings.Testament == basGame::Testament::Old);
    optTestament[2]->setChecked(GameSettings.Testament == basGame::Testament::New);
    optTestament[3]->setChecked(GameSettings.Testament == basGame::Testament::Both);
}

void frmOptions::LoadTimedOption()
{
    optTimed[1]->setChecked(GameSettings.Timed);
    optTimed[2]->setChecked(!GameSettings.Timed);
}

// --- the players page ---------------------------------------------------------------------------

int frmOptions::countInField() const { return mskPlayerCnt->text().toInt(); }

void frmOptions::colourNameBoxes(int count)
{
    for (int i = 1; i <= basGame::MaxPlayers; ++i) {
        QLineEdit *box = txtPlayer[std::size_t(i)];
        const bool enabled = count >= i;
        box->setEnabled(enabled);
        QPalette palette = box->palette();
        const QColor background = enabled ? QColor(255, 255, 255) : QColor(192, 192, 192);
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            palette.setColor(group, QPalette::Base, background);
        // A disabled box keeps its name readable on the grey.
        palette.setColor(QPalette::Disabled, QPalette::Text, QColor(64, 64, 64));
        box->setPalette(palette);
    }
}

void frmOptions::mskPlayerCnt_Change()
{
    if (countInField() > basGame::MaxPlayers) {
        mskPlayerCnt->setText(QString::number(basGame::MaxPlayers)); // raises this handler again
        return;
    }
    // A field emptied or holding 0 while being edited counts as one player.
    colourNameBoxes(std::max(countInField(), 1));
    cmdApply->setEnabled(true);
}

void frmOptions::markChanged() { cmdApply->setEnabled(true); }

// --- applying pages ------------------------------------------------------------------------------

void frmOptions::applyPage(int page)
{
    if (page == 1)
        ApplyPlayers();
    else if (page == 2)
        ApplyTestament();
    else if (page == 3)
        ApplyTimed();
    else if (page == 4)
        questionsPage->Apply();
}

void frmOptions::cmdApply_Click()
{
    applyPage(tabOptions->currentIndex());
    cmdApply->setEnabled(false);
}

void frmOptions::tabOptions_Click(int PreviousTab)
{
    if (cmdApply->isEnabled()) {
        applyPage(PreviousTab);
        cmdApply->setEnabled(false);
    }
}

void frmOptions::cmdOk_Click()
{
    if (cmdApply->isEnabled())
        cmdApply_Click();
    accept();
}

void frmOptions::cmdCancel_Click() { reject(); }

void frmOptions::ApplyPlayers()
{
    // 0 or an empty field never becomes the player count: it stands for one player.
    int count = countInField();
    if (count < 1) {
        count = 1;
        mskPlayerCnt->setText(QStringLiteral("1"));
    }
    GameSettings.PlayerCnt = qint16(std::min(count, basGame::MaxPlayers));
    for (int i = 1; i <= basGame::MaxPlayers; ++i)
        GameSettings.Players[i].Name = txtPlayer[std::size_t(i)]->text();
    if (m_session.HighScoreAchieved()) {
        frmScores scores(this);
        scores.exec();
    }
    m_session.StartNewGame();
}

void frmOptions::ApplyTestament()
{
    if (optTestament[1]->isChecked())
        GameSettings.Testament = basGame::Testament::Old;
    else if (optTestament[2]->isChecked())
        GameSettings.Testament = basGame::Testament::New;
    else if (optTestament[3]->isChecked())
        GameSettings.Testament = basGame::Testament::Both;
}

void frmOptions::ApplyTimed()
{
    m_session.SetTimedGame(optTimed[1]->isChecked());
}

void frmOptions::cmdDefault_Click()
{
    switch (tabOptions->currentIndex()) {
    case 0:
        DefaultColors();
        break;
    case 1:
        mskPlayerCnt->setText(QStringLiteral("1"));
        for (int i = 1; i <= basGame::MaxPlayers; ++i)
            txtPlayer[std::size_t(i)]->setText(QStringLiteral("Player %1").arg(i));
        ApplyPlayers();
        break;
    case 2:
        optTestament[3]->setChecked(true);
        ApplyTestament();
        break;
    case 3:
        optTimed[2]->setChecked(true);
        ApplyTimed();
        break;
    case 4:
        questionsPage->Defaults();
        break;
    }
    cmdApply->setEnabled(false);
}

// --- colours ---------------------------------------------------------------------------------------

void frmOptions::SetColor(const QString &strObject) { emit colorChanged(strObject); }

void frmOptions::DefaultColors()
{
    optColors[1]->setChecked(true);
    GameSettings.WinClr = basGame::DefaultWinClr;
    GameSettings.WinTxtClr = basGame::DefaultWinTxtClr;
    SetColor(QStringLiteral("Window"));
    SetColor(QStringLiteral("Window Text"));
}

void frmOptions::cmdColor_Click()
{
    const bool window = optColors[1]->isChecked();
    const bool text = optColors[2]->isChecked();
    if (!window && !text)
        return;
    // The chooser opens on the colour the window shows.
    const qint32 shown = window ? basGame::PaintableColor(GameSettings.WinClr, basGame::DefaultWinClr)
                                : basGame::PaintableColor(GameSettings.WinTxtClr, basGame::DefaultWinTxtClr);
    const auto chosen = ColorChooser::choose(this, ColorChooser::fromSetting(shown));
    if (!chosen)
        return;
    const qint32 value = ColorChooser::toSetting(*chosen);
    if (window && value != GameSettings.WinClr) {
        GameSettings.WinClr = value;
        SetColor(QStringLiteral("Window"));
    } else if (text && value != GameSettings.WinTxtClr) {
        GameSettings.WinTxtClr = value;
        SetColor(QStringLiteral("Window Text"));
    }
}
