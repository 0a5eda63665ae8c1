#pragma once

#include <QDialog>

#include <functional>

class GameSession;
class QLabel;
class QPushButton;
class QTreeWidget;

// The review of a game: each player's questions in the order asked (the question, the answer
// given, the right answer, the reference, right or wrong) under the player's totals, winner first
// and ties shown as ties. The missed questions can be saved as a study list (PDF) or printed.
class frmReview : public QDialog
{
    Q_OBJECT

public:
    frmReview(QWidget *owner, const GameSession &session);

    void cmdSaveStudyList_Click();
    void cmdPrint_Click();

    // Asks where to save (the file dialog); tests answer instead. An empty path cancels.
    using SaveAs = std::function<QString(QWidget *owner, const QString &suggested)>;
    static SaveAs setSaveAs(SaveAs chooser);

private:
    void Fill();

    const GameSession &m_session;
    QLabel *lblWinner;
    QTreeWidget *trvAnswers;
    QPushButton *cmdSaveStudyList;
    QPushButton *cmdPrint;
    QPushButton *cmdClose;
};
