// The review after a game: each player's answers under the totals, winner first, and the study
// list of the missed questions saved as a PDF.
#include "WindowFixture.h"

#include "app/frmMain.h"
#include "bible/Scripture.h"
#include "game/GameSession.h"
#include "review/frmReview.h"

#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeWidget>

class tst_Review : public QObject
{
    Q_OBJECT

    WindowFixture f;

private slots:
    void cleanup() { f.close(); }

    // Ann answers right then wrong, Bob wrong: Ann wins; the list holds the two missed questions
    // with their right answers and passages, and not the one answered right.
    void reviewAndStudyList()
    {
        f.start(3, {QStringLiteral("Ann"), QStringLiteral("Bob")});
        QStringList asked;
        for (const bool right : {true, false, false}) {
            asked << f.text(QStringLiteral("lblQuestion"));
            f.answer(right);
            if (asked.size() < 3)
                f.next();
        }
        const QString pdf = f.folder() + QStringLiteral("/study list.pdf");
        frmReview::setSaveAs([&](QWidget *, const QString &suggested) {
            return suggested.endsWith(QStringLiteral(".pdf")) ? pdf : QString();
        });
        QString winner;
        QStringList rows;
        const QStringList dialogs = WindowFixture::dialogsOf([this] { f.next(); }, [&](QDialog *dialog) {
            if (dialog->objectName() != u"frmReview")
                return;
            winner = dialog->findChild<QLabel *>(QStringLiteral("lblWinner"))->text();
            auto *tree = dialog->findChild<QTreeWidget *>(QStringLiteral("trvAnswers"));
            for (int p = 0; p < tree->topLevelItemCount(); ++p) {
                rows << tree->topLevelItem(p)->text(0);
                for (int a = 0; a < tree->topLevelItem(p)->childCount(); ++a)
                    rows << tree->topLevelItem(p)->child(a)->text(4);
            }
            dialog->findChild<QPushButton *>(QStringLiteral("cmdSaveStudyList"))->click();
        });
        frmReview::setSaveAs({});
        QCOMPARE(dialogs, (QStringList{"frmScores", "frmReview"}));
        QCOMPARE(winner, QStringLiteral("Winner: Ann with 50 points"));
        QCOMPARE(rows, (QStringList{"1. Ann: 50 points, 1 of 2 right (50%)", "Right", "Wrong",
                                    "2. Bob: 0 points, 0 of 1 right (0%)", "Wrong"}));
        QVERIFY(QFile(pdf).size() > 1000);
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is needed to read the PDF back");
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(10000));
        const QString written = QString::fromUtf8(text.readAllStandardOutput()).simplified();
        QVERIFY2(!written.contains(asked[0]) && written.contains(asked[1]) && written.contains(asked[2]), qPrintable(written));
        for (const GameSession::AnswerRecord &a : f.game().Answers())
            if (!a.correct) {
                QVERIFY(written.contains(QStringLiteral("Answer: ") + a.right) && written.contains(a.reference));
                const QString passage = Scripture::Find(a.reference).body;
                QVERIFY2(!passage.isEmpty() && written.contains(passage.left(30)), qPrintable(passage));
            }
    }
};

QUILLORY_TEST_MAIN(tst_Review)
#include "tst_review.moc"
