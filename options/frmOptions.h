#pragma once

#include <QDialog>

#include <array>

class QButtonGroup;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class UpDown;
class GameSession;
class QuestionsPage;

// The options dialog: pages Colors, Players, Testament and Timed, and Questions (a page of its
// own class). The controls hold a page's
// pending edits and the Apply button's enabled state is the only marker of them; a page is
// applied by Apply, OK, Default, and by leaving it with edits. Colours take effect the moment
// they are chosen. The dialog keeps no copy of the settings: it writes GameSettings directly
// and tells the game session what to do about it.
class frmOptions : public QDialog
{
    Q_OBJECT

public:
    frmOptions(QWidget *owner, GameSession &session);
    ~frmOptions() override;

    // Selects a page (0 Colors, 1 Players, 2 Testament, 3 Timed, 4 Questions), as the menus do
    // before showing.
    void setCurrentPage(int page);

    // Paints the main window from the stored colours ("Window" or "Window Text"): asks the
    // window through colorChanged.
    void SetColor(const QString &strObject);

    void cmdOk_Click();
    void cmdApply_Click();
    void cmdCancel_Click();
    void cmdDefault_Click();
    void cmdColor_Click();

signals:
    void colorChanged(const QString &strObject);

protected:
    // Opening on a page puts the focus on that page's first control in the tab order.
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load();
    void tabOptions_Click(int PreviousTab);
    void mskPlayerCnt_Change();
    void markChanged();

    void applyPage(int page);
    void ApplyPlayers();
    void ApplyTestament();
    void ApplyTimed();
    void LoadColorOptions();
    void LoadPlayerOptions();
    void LoadTestamentOption();
    void LoadTimedOption();
    void DefaultColors();
    int countInField() const;
    void colourNameBoxes(int count);

    GameSession &m_session;
    QTabWidget *tabOptions;
    std::array<QFrame *, 4> fraOptions{};
    std::array<QRadioButton *, 3> optColors{}; // 1 and 2
    QPushButton *cmdColor;
    std::array<QLabel *, 6> lblPlayers{};      // 0 to 5
    QLineEdit *mskPlayerCnt;
    UpDown *UpDownPlayerCnt;
    std::array<QLineEdit *, 5> txtPlayer{};    // 1 to 4
    std::array<QRadioButton *, 4> optTestament{}; // 1 to 3
    std::array<QRadioButton *, 3> optTimed{};  // 1 and 2
    QButtonGroup *testamentGroup;
    QButtonGroup *timedGroup;
    QPushButton *cmdOK;
    QPushButton *cmdDefault;
    QPushButton *cmdApply;
    QPushButton *cmdCancel;
    QuestionsPage *questionsPage;
    int m_currentTab = 0;
};
