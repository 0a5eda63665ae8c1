#include "review/frmReview.h"

#include "core/MessageBox.h"
#include "game/GameSession.h"
#include "review/StudyList.h"
#include "settings/basGame.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QVBoxLayout>

using basGame::GameSettings;

namespace {
frmReview::SaveAs &saveAs()
{
    static frmReview::SaveAs chooser;
    return chooser;
}

QString percentOf(const basGame::PlayerRecord &p) { return QStringLiteral("%1%").arg(p.Percent); }
}

frmReview::SaveAs frmReview::setSaveAs(SaveAs chooser) { return std::exchange(saveAs(), std::move(chooser)); }

frmReview::frmReview(QWidget *owner, const GameSession &session)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint),
      m_session(session)
{
    setObjectName(QStringLiteral("frmReview"));
    setWindowTitle(QStringLiteral("Review Answers"));
    resize(980, 560);

    lblWinner = new QLabel(this);
    lblWinner->setObjectName(QStringLiteral("lblWinner"));
    lblWinner->setTextFormat(Qt::PlainText);
    QFont big = lblWinner->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    lblWinner->setFont(big);

    trvAnswers = new QTreeWidget(this);
    trvAnswers->setObjectName(QStringLiteral("trvAnswers"));
    trvAnswers->setAccessibleName(QStringLiteral("Answers of each player"));
    trvAnswers->setHeaderLabels({QStringLiteral("Question"), QStringLiteral("Answer given"), QStringLiteral("Right answer"),
                                 QStringLiteral("Reference"), QStringLiteral("Result")});
    trvAnswers->setRootIsDecorated(false);
    trvAnswers->setWordWrap(true);
    trvAnswers->setUniformRowHeights(false);
    trvAnswers->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int c = 1; c <= 4; ++c)
        trvAnswers->header()->setSectionResizeMode(c, QHeaderView::Interactive);
    trvAnswers->header()->setStretchLastSection(false);
    const int widths[] = {0, 200, 200, 130, 60};
    for (int c = 1; c <= 4; ++c)
        trvAnswers->header()->resizeSection(c, widths[c]);

    cmdSaveStudyList = new QPushButton(QStringLiteral("&Save as Study List..."), this);
    cmdSaveStudyList->setObjectName(QStringLiteral("cmdSaveStudyList"));
    cmdPrint = new QPushButton(QStringLiteral("&Print..."), this);
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);
    connect(cmdSaveStudyList, &QPushButton::clicked, this, &frmReview::cmdSaveStudyList_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmReview::cmdPrint_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdSaveStudyList);
    buttons->addWidget(cmdPrint);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblWinner);
    layout->addWidget(trvAnswers);
    layout->addLayout(buttons);

    Fill();
}

void frmReview::Fill()
{
    const QList<GameSession::Standing> standings = m_session.Standings();
    const QList<GameSession::AnswerRecord> &answers = m_session.Answers();
    // The winner, or the players who share the first place.
    QStringList first;
    for (const GameSession::Standing &s : standings)
        if (s.rank == 1)
            first << GameSettings.Players[s.player].Name;
    const qint32 best = standings.isEmpty() ? 0 : GameSettings.Players[standings.first().player].Score;
    if (answers.isEmpty())
        lblWinner->setText(QStringLiteral("No question has been answered yet."));
    else if (standings.size() == 1)
        lblWinner->setText(QStringLiteral("%1: %2 points").arg(first.value(0)).arg(best));
    else if (first.size() == 1)
        lblWinner->setText(QStringLiteral("Winner: %1 with %2 points").arg(first.value(0)).arg(best));
    else
        lblWinner->setText(QStringLiteral("A tie: %1 with %2 points each").arg(first.join(QStringLiteral(" and "))).arg(best));

    for (const GameSession::Standing &s : standings) {
        const basGame::PlayerRecord &p = GameSettings.Players[s.player];
        auto *player = new QTreeWidgetItem(trvAnswers);
        player->setText(0, QStringLiteral("%1%2 %3: %4 points, %5 of %6 right (%7)%8")
                               .arg(s.rank)
                               .arg(s.tied ? QStringLiteral("=") : QStringLiteral("."), p.Name)
                               .arg(p.Score)
                               .arg(p.Correct)
                               .arg(p.Answered)
                               .arg(percentOf(p), s.tied ? QStringLiteral(", tied") : QString()));
        QFont bold = player->font(0);
        bold.setBold(true);
        player->setFont(0, bold);
        player->setFirstColumnSpanned(true);
        int number = 0;
        for (const GameSession::AnswerRecord &a : answers) {
            if (a.player != s.player)
                continue;
            auto *row = new QTreeWidgetItem(player, {QStringLiteral("%1. %2").arg(++number).arg(a.question), a.given, a.right,
                                                     a.reference, a.correct ? QStringLiteral("Right") : QStringLiteral("Wrong")});
            row->setForeground(4, a.correct ? QColor(0, 110, 0) : QColor(170, 0, 0));
            for (int c = 0; c < 4; ++c) // the whole text, where a column is too narrow for it
                row->setToolTip(c, row->text(c));
        }
        player->setExpanded(true);
    }
    const bool missed = std::any_of(answers.begin(), answers.end(), [](const auto &a) { return !a.correct; });
    cmdSaveStudyList->setEnabled(missed);
    cmdPrint->setEnabled(missed);
}

void frmReview::cmdSaveStudyList_Click()
{
    const QString suggested = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                                  .filePath(QStringLiteral("Quillory study list.pdf"));
    const QString path = saveAs() ? saveAs()(this, suggested)
                                  : QFileDialog::getSaveFileName(this, QStringLiteral("Save as Study List"), suggested,
                                                                 QStringLiteral("PDF documents (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!StudyList::SavePdf(m_session, path))
        MsgBox::show(QStringLiteral("The study list could not be saved as '%1'.").arg(path), MsgBox::Exclamation,
                     QStringLiteral("Save as Study List"));
}

void frmReview::cmdPrint_Click()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("dlgPrint"));
    if (dialog.exec() == QDialog::Accepted)
        StudyList::Print(m_session, &printer);
}
