#pragma once

#include <QMainWindow>

class DataControl;
class QLabel;

// The main game window.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // Runs the load order: settings, the data connection, a new game.
    void Form_Load();

    void StartNewGame();
    DataControl &data() const { return *datQuillory; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void ShuffleQuestions();
    void showBoundQuestion();

    DataControl *datQuillory;
    QLabel *lblQuestion;
};
