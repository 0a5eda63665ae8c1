#include "options/QuestionsPage.h"

#include "bible/BibleBooks.h"
#include "core/MessageBox.h"
#include "core/basMain.h"
#include "db/DataControl.h"
#include "game/GameSession.h"
#include "import/QuestionSets.h"
#include "scores/frmScores.h"
#include "settings/PlaySettings.h"
#include "settings/QuestionChoice.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

using QuestionChoice::Difficulty;

namespace {
constexpr int SetNameRole = Qt::UserRole;     // a set item's stored name
constexpr int SetCountRole = Qt::UserRole + 1; // its number of questions

QPushButton *button(const QString &name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QLabel *label(const QString &name, const QString &caption, QWidget *buddy, QWidget *parent)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->setBuddy(buddy);
    return l;
}
}

QuestionsPage::QuestionsPage(GameSession &session, QWidget *parent) : QWidget(parent), m_session(session)
{
    setObjectName(QStringLiteral("pageQuestions"));

    lstSets = new QListWidget(this);
    lstSets->setObjectName(QStringLiteral("lstSets"));
    lstSets->setAccessibleName(QStringLiteral("Question sets that play"));
    lblSets = label(QStringLiteral("lblSets"), QStringLiteral("Question &sets:"), lstSets, this);
    cmdRemoveSet = button(QStringLiteral("cmdRemoveSet"), QStringLiteral("&Remove Set..."), this);

    tvwBooks = new QTreeWidget(this);
    tvwBooks->setObjectName(QStringLiteral("tvwBooks"));
    tvwBooks->setAccessibleName(QStringLiteral("Books that play"));
    tvwBooks->setHeaderHidden(true);
    tvwBooks->setRootIsDecorated(true);
    tvwBooks->setUniformRowHeights(true);
    lblBooks = label(QStringLiteral("lblBooks"), QStringLiteral("&Books:"), tvwBooks, this);
    for (const QString &testament : {QStringLiteral("OT"), QStringLiteral("NT")}) {
        auto *group = new QTreeWidgetItem(tvwBooks, {testament == u"OT" ? QStringLiteral("Old Testament") : QStringLiteral("New Testament")});
        group->setFlags(group->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
        for (const QString &book : BibleBooks::Names(testament)) {
            auto *item = new QTreeWidgetItem(group, {book});
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, Qt::Checked);
        }
    }
    tvwBooks->setIndentation(14);
    tvwBooks->expandAll();
    cmdAllBooks = button(QStringLiteral("cmdAllBooks"), QStringLiteral("&All"), this);
    cmdAllBooks->setAccessibleName(QStringLiteral("All books"));
    cmdNoBooks = button(QStringLiteral("cmdNoBooks"), QStringLiteral("&None"), this);
    cmdNoBooks->setAccessibleName(QStringLiteral("No books"));

    cboDifficulty = new QComboBox(this);
    cboDifficulty->setObjectName(QStringLiteral("cboDifficulty"));
    cboDifficulty->setAccessibleName(QStringLiteral("Difficulty"));
    cboDifficulty->addItems({QStringLiteral("Any"), QStringLiteral("Easy"), QStringLiteral("Medium"), QStringLiteral("Hard")});
    lblDifficulty = label(QStringLiteral("lblDifficulty"), QStringLiteral("&Difficulty:"), cboDifficulty, this);

    // A game of a set length: that many questions for every player, then Game Over.
    cboQuestionsPerPlayer = new QComboBox(this);
    cboQuestionsPerPlayer->setObjectName(QStringLiteral("cboQuestionsPerPlayer"));
    cboQuestionsPerPlayer->setAccessibleName(QStringLiteral("Questions per player"));
    for (const int choice : PlaySettings::QuestionsPerPlayerChoices)
        cboQuestionsPerPlayer->addItem(choice > 0 ? QString::number(choice) : QStringLiteral("All"), choice);
    lblQuestionsPerPlayer = label(QStringLiteral("lblQuestionsPerPlayer"), QStringLiteral("Questions per pla&yer:"),
                                  cboQuestionsPerPlayer, this);

    // Two columns: the sets with the difficulty below them, the books. The page keeps its lists
    // flexible, so a row of choices can join it at the top or the bottom.
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setVerticalSpacing(4);
    grid->addWidget(lblSets, 0, 0);
    grid->addWidget(lstSets, 1, 0);
    auto *setButtons = new QHBoxLayout;
    setButtons->addWidget(cmdRemoveSet);
    setButtons->addStretch();
    grid->addLayout(setButtons, 2, 0);
    auto *difficulty = new QHBoxLayout;
    difficulty->addWidget(lblDifficulty);
    difficulty->addWidget(cboDifficulty, 1);
    grid->addLayout(difficulty, 3, 0);
    auto *rounds = new QHBoxLayout;
    rounds->addWidget(lblQuestionsPerPlayer);
    rounds->addWidget(cboQuestionsPerPlayer, 1);
    grid->addLayout(rounds, 4, 0);
    grid->addWidget(lblBooks, 0, 1);
    grid->addWidget(tvwBooks, 1, 1, 2, 1);
    auto *bookButtons = new QHBoxLayout;
    bookButtons->addWidget(cmdAllBooks);
    bookButtons->addWidget(cmdNoBooks);
    bookButtons->addStretch();
    grid->addLayout(bookButtons, 3, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);

    const QList<QWidget *> focusOrder{lstSets, cmdRemoveSet, cboDifficulty, cboQuestionsPerPlayer, tvwBooks, cmdAllBooks, cmdNoBooks};
    for (qsizetype i = 1; i < focusOrder.size(); ++i)
        setTabOrder(focusOrder[i - 1], focusOrder[i]);

    connect(lstSets, &QListWidget::itemChanged, this, [this] {
        if (!m_loading)
            emit changed();
    });
    connect(lstSets, &QListWidget::currentRowChanged, this, &QuestionsPage::lstSets_Change);
    connect(tvwBooks, &QTreeWidget::itemChanged, this, [this] {
        if (!m_loading)
            emit changed();
    });
    for (QComboBox *choice : {cboDifficulty, cboQuestionsPerPlayer})
        connect(choice, &QComboBox::currentIndexChanged, this, [this] {
            if (!m_loading)
                emit changed();
        });
    connect(cmdRemoveSet, &QPushButton::clicked, this, &QuestionsPage::cmdRemoveSet_Click);
    connect(cmdAllBooks, &QPushButton::clicked, this, &QuestionsPage::cmdAllBooks_Click);
    connect(cmdNoBooks, &QPushButton::clicked, this, &QuestionsPage::cmdNoBooks_Click);

    Load();
}

QuestionsPage::~QuestionsPage() = default;

QWidget *QuestionsPage::firstControl() const { return lstSets; }

void QuestionsPage::Load()
{
    m_loading = true;
    const QuestionChoice::Choice &choice = QuestionChoice::Current;
    lstSets->clear();
    QList<QuestionSets::Set> sets;
    // Without an open database the page still shows the books and the difficulty.
    basMain::Trap([&] {
        if (m_session.data().isOpen())
            sets = QuestionSets::List(m_session.data().database());
    });
    for (const QuestionSets::Set &set : std::as_const(sets)) {
        auto *item = new QListWidgetItem(QStringLiteral("%1 (%2)").arg(QuestionSets::DisplayName(set.name)).arg(set.count), lstSets);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(choice.playsSet(set.name) ? Qt::Checked : Qt::Unchecked);
        item->setData(SetNameRole, set.name);
        item->setData(SetCountRole, set.count);
    }
    for (int g = 0; g < tvwBooks->topLevelItemCount(); ++g) {
        QTreeWidgetItem *group = tvwBooks->topLevelItem(g);
        for (int b = 0; b < group->childCount(); ++b)
            group->child(b)->setCheckState(0, choice.playsBook(group->child(b)->text(0)) ? Qt::Checked : Qt::Unchecked);
    }
    cboDifficulty->setCurrentIndex(int(choice.difficulty));
    cboQuestionsPerPlayer->setCurrentIndex(std::max(0, cboQuestionsPerPlayer->findData(PlaySettings::Play.QuestionsPerPlayer)));
    lstSets->setCurrentRow(lstSets->count() > 0 ? 0 : -1);
    lstSets_Change();
    m_loading = false;
}

void QuestionsPage::Apply()
{
    QuestionChoice::Choice choice;
    QStringList present;
    for (int i = 0; i < lstSets->count(); ++i) {
        const QListWidgetItem *item = lstSets->item(i);
        present << item->data(SetNameRole).toString();
        if (item->checkState() != Qt::Checked)
            choice.leftOutSets << item->data(SetNameRole).toString();
    }
    // A set left out stays left out while the page cannot see it (no database open).
    if (lstSets->count() == 0)
        choice.leftOutSets = QuestionChoice::Current.leftOutSets;
    QStringList books;
    int bookCount = 0;
    for (int g = 0; g < tvwBooks->topLevelItemCount(); ++g) {
        const QTreeWidgetItem *group = tvwBooks->topLevelItem(g);
        for (int b = 0; b < group->childCount(); ++b, ++bookCount)
            if (group->child(b)->checkState(0) == Qt::Checked)
                books << group->child(b)->text(0);
    }
    if (books.size() != bookCount)
        choice.books = books;
    choice.difficulty = Difficulty(std::max(cboDifficulty->currentIndex(), 0));
    // The length of a game takes effect at the next question, like the rest of the page.
    PlaySettings::Play.QuestionsPerPlayer = cboQuestionsPerPlayer->currentData().toInt();
    if (choice == QuestionChoice::Current)
        return;
    QuestionChoice::Current = choice;
    basMain::Trap([] { QuestionChoice::Save(); });
    if (!m_session.ChoiceChanged())
        MsgBox::show(GameSession::NoQuestionsText(), MsgBox::Exclamation, QStringLiteral("Options"));
}

void QuestionsPage::Defaults()
{
    m_loading = true;
    for (int i = 0; i < lstSets->count(); ++i)
        lstSets->item(i)->setCheckState(Qt::Checked);
    setAllBooks(true);
    cboDifficulty->setCurrentIndex(int(Difficulty::Any));
    cboQuestionsPerPlayer->setCurrentIndex(0);
    m_loading = false;
    Apply();
}

void QuestionsPage::lstSets_Change()
{
    // The built-in questions cannot be removed.
    const QListWidgetItem *item = lstSets->currentItem();
    cmdRemoveSet->setEnabled(item && !item->data(SetNameRole).toString().isEmpty());
}

void QuestionsPage::cmdRemoveSet_Click()
{
    const QListWidgetItem *item = lstSets->currentItem();
    if (!item || item->data(SetNameRole).toString().isEmpty())
        return;
    const QString name = item->data(SetNameRole).toString();
    const qint64 count = item->data(SetCountRole).toLongLong();
    const QString question = QStringLiteral("Remove the question set '%1' and its %2 from the question database?\r"
                                            "This cannot be undone; a new game starts.")
                                 .arg(name, count == 1 ? QStringLiteral("question") : QStringLiteral("%1 questions").arg(count));
    // Removing cannot be undone, so Enter keeps the set.
    if (MsgBox::show(question, MsgBox::YesNo + MsgBox::Question + MsgBox::DefaultButton2, QStringLiteral("Remove Question Set"))
        != MsgBox::Yes)
        return;
    if (!basMain::Trap([&] { QuestionSets::Remove(m_session.data().database(), name); }))
        return;
    if (QuestionChoice::Current.leftOutSets.removeAll(name) > 0)
        basMain::Trap([] { QuestionChoice::Save(); });
    // The deck may hold questions of the set: a new game deals from what is left, the
    // finished game's results offered to the high scores first.
    if (m_session.HighScoreAchieved()) {
        frmScores scores(this);
        scores.exec();
    }
    m_session.StartNewGame();
    // The set leaves the list; the page's other edits stay as they were.
    const bool wasLoading = std::exchange(m_loading, true);
    delete lstSets->takeItem(lstSets->row(item));
    m_loading = wasLoading;
    lstSets_Change();
}

void QuestionsPage::setAllBooks(bool checked)
{
    for (int g = 0; g < tvwBooks->topLevelItemCount(); ++g) {
        QTreeWidgetItem *group = tvwBooks->topLevelItem(g);
        for (int b = 0; b < group->childCount(); ++b)
            group->child(b)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    }
}

void QuestionsPage::cmdAllBooks_Click() { setAllBooks(true); }
void QuestionsPage::cmdNoBooks_Click() { setAllBooks(false); }
