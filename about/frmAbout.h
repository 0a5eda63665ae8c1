#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

// The about box: title and version beside a snake that flicks its tongue once a second.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *owner);
    ~frmAbout() override;

    void tmrSnake_Timer();
    void cmdOk_Click();

private:
    QLabel *lblTitle;
    QLabel *imgSnakeIn;
    QLabel *imgSnakeOut;
    QPushButton *cmdOk;
    QTimer *tmrSnake;
};
