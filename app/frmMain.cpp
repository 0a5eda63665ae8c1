#include "frmMain.h"

#include "DataControl.h"
#include "Recordset.h"
#include "basGame.h"
#include "basMain.h"

#include "../game/QuestionDeck.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>

frmMain::frmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    datQuillory = new DataControl(this);
    datQuillory->setObjectName(QStringLiteral("datQuillory"));
    datQuillory->Connect = QString::fromLatin1(basMain::ConnectString);
    datQuillory->RecordSource = QStringLiteral("tblQuillory");

    lblQuestion = new QLabel(QStringLiteral("Question"), this);
    lblQuestion->setObjectName(QStringLiteral("lblQuestion"));
    lblQuestion->setTextFormat(Qt::PlainText);
    lblQuestion->setWordWrap(true);
    setCentralWidget(lblQuestion);

    // The label is bound to the Question field of the current row.
    connect(datQuillory, &DataControl::currentRecordChanged, this, &frmMain::showBoundQuestion);
}

frmMain::~frmMain() = default;

void frmMain::Form_Load()
{
    basMain::Trap([this] {
        basGame::LoadGameSettings();
        datQuillory->DatabaseName = basMain::DatabasePath;
        datQuillory->Refresh();
        StartNewGame();
    });
}

void frmMain::StartNewGame()
{
    basMain::Trap([this] { ShuffleQuestions(); });
}

void frmMain::ShuffleQuestions()
{
    // The hourglass goes back whatever happens.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = basMain::Trap([this] { QuestionDeck::Shuffle(*datQuillory); });
    QApplication::restoreOverrideCursor();
    Q_UNUSED(ok);
}

void frmMain::showBoundQuestion()
{
    QString text;
    try {
        if (datQuillory->isOpen() && datQuillory->recordset().hasCurrent())
            text = datQuillory->recordset().Field(QStringLiteral("Question")).toString();
    } catch (const std::exception &) {
        // A bound label shows nothing for a row it cannot read; the reader of the row reports.
    }
    lblQuestion->setText(text);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    basGame::SaveGameSettings();
    QMainWindow::closeEvent(event);
}
