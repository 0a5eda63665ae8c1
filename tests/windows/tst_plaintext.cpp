// Text from players and from the question database is shown as it is written: markup and
// entities stay visible characters, an ampersand never becomes an access key.
#include "WindowFixture.h"

#include "core/MessageBox.h"
#include "app/QtMessageBoxes.h"
#include "settings/SettingsStore.h"
#include "settings/basGame.h"
#include "core/basMain.h"
#include "app/frmMain.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <memory>

using namespace TestSupport;

namespace {
const QStringList Names{"<b>Ann</b>", "<img src=x>", "&amp;", "Tom & <i>Jo</i>"};

// A label's text, marked when the label would render it as rich text.
QString shown(const QLabel *label)
{
    return (label->textFormat() == Qt::PlainText ? QString() : QStringLiteral("(rich text) ")) + label->text();
}
}

class tst_PlainText : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<frmMain> window;

    template <class T = QLabel>
    T *child(const QString &name) const { return window->findChild<T *>(name); }

private slots:
    void init() { clearMessages(); clearSettings(); }
    void cleanup() { window.reset(); QVERIFY(QApplication::topLevelWidgets().isEmpty()); }

    // Markup in names, questions, answers and references shows literally in the labels, the
    // answer buttons, the status bar, the high-score grid and the options dialog's name boxes.
    void markupShowsLiterallyEverywhere()
    {
        QList<QuestionRow> rows = sampleRows(4);
        for (QuestionRow &r : rows) {
            r.question.prepend(QStringLiteral("<b>Who</b> &amp; <img src=x> ")); // still ends in its number
            r.answers = {"<b>" + r.answers[0] + "</b>", "&amp; " + r.answers[1], "<img src=x> " + r.answers[2],
                         "R&D &&" + r.answers[3]};
            r.reference = "<a href=\"x\">" + r.reference + "</a> &lt;";
        }
        basMain::DatabasePath = makeDatabase(dir.filePath(QStringLiteral("marked.mdb")), rows);
        SettingsStore::SaveSetting(QStringLiteral("GameSettings"), QStringLiteral("PlayerCnt"), QStringLiteral("4"));
        for (int i = 1; i <= 4; ++i)
            SettingsStore::SaveSetting(QStringLiteral("GameSettings"), QStringLiteral("Player%1").arg(i), Names[i - 1]);
        basGame::GameSettings = {};
        window = std::make_unique<frmMain>();
        window->Form_Load();
        window->show();

        for (int q = 1; q <= 4; ++q) {
            const int k = child(QStringLiteral("lblQuestion"))->text().section(u' ', -1).toInt();
            QVERIFY(k >= 1 && k <= 4);
            const QuestionRow &row = rows[k - 1];
            QCOMPARE(shown(child(QStringLiteral("lblQuestion"))), row.question);
            QSet<QString> captions; // as read out: an ampersand taken as an access key would vanish
            int right = 0;
            for (int i = 1; i <= 4; ++i) {
                auto *button = child<QPushButton>(QStringLiteral("cmdAnswer%1").arg(i));
                const QString caption = QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
                captions << caption;
                if (caption == row.answers[0])
                    right = i;
            }
            QCOMPARE(captions, QSet<QString>(row.answers.begin(), row.answers.end()));
            QVERIFY(right > 0);
            child<QPushButton>(QStringLiteral("cmdAnswer%1").arg(right))->click();
            QCOMPARE(child(QStringLiteral("lblResult"))->text(), QStringLiteral("CORRECT"));
            QCOMPARE(shown(child(QStringLiteral("lblReference"))), row.reference);
            QCOMPARE(shown(child(QStringLiteral("staStatusBarPanel1"))), Names[q - 1]);
            if (q < 4)
                child<QPushButton>(QStringLiteral("cmdNewQuestion"))->click();
        }

        // Game over: all four enter the table, and the window opens on it.
        // Then the review, whose rows hold the names and answers as written.
        QSet<QString> gridNames;
        QString review;
        const QStringList dialogs = WindowFixture::dialogsOf([this] { child<QPushButton>(QStringLiteral("cmdNewQuestion"))->click(); },
                                                             [&](QDialog *dialog) {
            if (auto *grid = dialog->findChild<QTableWidget *>(QStringLiteral("grdScores")))
                for (int rank = 1; rank <= 4; ++rank)
                    gridNames << grid->item(rank + 1, 1)->data(Qt::DisplayRole).toString();
            if (auto *tree = dialog->findChild<QTreeWidget *>(QStringLiteral("trvAnswers")))
                for (int i = 0; i < tree->topLevelItemCount(); ++i)
                    review += tree->topLevelItem(i)->text(0) + tree->topLevelItem(i)->child(0)->text(1);
        });
        QCOMPARE(dialogs, (QStringList{"frmScores", "frmReview"}));
        QCOMPARE(gridNames, QSet<QString>(Names.begin(), Names.end()));
        for (const QString &name : Names)
            QVERIFY2(review.contains(name), qPrintable(review));
        QVERIFY(review.contains(QStringLiteral("<b>Right")));

        QStringList boxNames;
        WindowFixture::whenModal([&](QDialog *options) {
            for (int i = 1; i <= 4; ++i)
                boxNames << options->findChild<QLineEdit *>(QStringLiteral("txtPlayer%1").arg(i))->displayText();
            options->reject();
        });
        child<QAction>(QStringLiteral("mnuOption1"))->trigger();
        QCOMPARE(boxNames, Names);
        QVERIFY(errorTexts().isEmpty());
    }

    // A message box shows its text as plain text, whatever a file name in it holds.
    void messageBoxesShowMarkupLiterally()
    {
        const MsgBox::Handler recorder = MsgBox::setHandler({});
        QtMessageBoxes::install();
        const QString text = QStringLiteral("Couldn't find file '/tmp/<b>x</b>/&amp;<img src=x>.mdb'.");
        QString seen;
        WindowFixture::whenModal([&](QDialog *box) {
            seen = shown(box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")));
            box->reject();
        });
        MsgBox::show(text, MsgBox::Exclamation, QStringLiteral("Error"));
        MsgBox::setHandler(recorder);
        QCOMPARE(seen, text);
    }
};

QUILLORY_TEST_MAIN(tst_PlainText)
#include "tst_plaintext.moc"
