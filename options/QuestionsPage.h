#pragma once

#include <QWidget>

class GameSession;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The Questions page of the options: which question sets play (the built-in questions and each
// imported set, by a tick), which books (grouped by testament, with All and None), the
// difficulty, and how many questions each player gets in a game (All: until the deck runs out). The controls hold the page's edits until the options dialog applies the page;
// the choice is then kept in its settings section (QuestionChoice) and the game's next
// question follows it. An imported set can be removed here, after a confirmation.
class QuestionsPage : public QWidget
{
    Q_OBJECT

public:
    explicit QuestionsPage(GameSession &session, QWidget *parent = nullptr);
    ~QuestionsPage() override;

    // The controls from the choice in force and the database's sets.
    void Load();
    // The controls' choice into force; when it leaves no question of the testament, the players
    // are told so at once.
    void Apply();
    // Every set, every book, any difficulty, applied.
    void Defaults();
    QWidget *firstControl() const;

    void cmdRemoveSet_Click();
    void cmdAllBooks_Click();
    void cmdNoBooks_Click();

signals:
    // The player changed a control (the dialog's Apply button lights up).
    void changed();

private:
    void lstSets_Change();
    void setAllBooks(bool checked);

    GameSession &m_session;
    bool m_loading = false;
    QLabel *lblSets;
    QListWidget *lstSets;
    QPushButton *cmdRemoveSet;
    QLabel *lblBooks;
    QTreeWidget *tvwBooks;
    QPushButton *cmdAllBooks;
    QPushButton *cmdNoBooks;
    QLabel *lblDifficulty;
    QComboBox *cboDifficulty;
    QLabel *lblQuestionsPerPlayer;
    QComboBox *cboQuestionsPerPlayer;
};
