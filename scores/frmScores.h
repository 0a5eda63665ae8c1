#pragma once

#include "scores/HighScoreTable.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QShowEvent;
class QTableWidget;
class QTableWidgetItem;
class QTimer;

// The high-scores window: the table in a grid, a sparkling trophy picture, "OK" and
// "Reset Scores". Shown modally with exec(); every showing reads the table from the store.
class frmScores : public QDialog
{
    Q_OBJECT

public:
    explicit frmScores(QWidget *owner);
    ~frmScores() override;

    // Offers a player's result to the stored table (see HighScoreTable::IsHighScore). Needs no
    // window: nothing is loaded or shown.
    static bool IsHighScore(const QString &strName, qint32 intScore, qint16 intPercent);

    // Runs when the window is shown: formats the grid, loads the table, fills the grid and starts
    // the trophy timer. Errors are reported; the window opens with what was reached.
    void Form_Load();

    void cmdOk_Click();
    // Asks for confirmation, then empties the grid's entries and deletes the stored table.
    void cmdReset_Click();
    // Every 3 s: starts a sparkle, TROPHY2 and TROPHY3 four times 100 ms apart, then TROPHY1.
    void tmrTrophy_Timer();
    // One step of a running sparkle (driven by tmrSparkle, single-shot, 100 ms).
    void tmrSparkle_Timer();

    // Closing ends the timers and any sparkle in progress: nothing is drawn after close.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormatGrid();
    void FillGrid();
    void ClearGrid();

    QTableWidgetItem *Cell(int row, int col) const;
    void ShowTrophy(int frame);
    void EndSparkle();

    HighScoreTable m_table;
    bool m_loaded = false;
    bool m_busy = false;  // a timer handler is running (its error report may still be open)
    int m_sparkleFrame = -1; // index into the sparkle's frames, -1 when no sparkle runs

    QTableWidget *grdScores;
    QLabel *imgTrophy;
    QPushButton *cmdOK;
    QPushButton *cmdReset;
    QTimer *tmrTrophy;
    QTimer *tmrSparkle;
};
