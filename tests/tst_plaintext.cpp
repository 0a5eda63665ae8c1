// Text from players and from the question database is shown as it is written: markup and
// entities stay visible characters, an ampersand never becomes an access key.
#include "TestSupport.h"

#include "app/MessageBox.h"
#include "app/QtMessageBoxes.h"
#include "app/SettingsStore.h"
#include "app/basGame.h"
#include "app/basMain.h"
#include "app/frmMain.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include <memory>

using namespace TestSupport;

namespace {
const QStringList Names{QStringLiteral("<b>Ann</b>"), QStringLiteral("<img src=x>"), QStringLiteral("&amp;"),
                        QStringLiteral("Tom & <i>Jo</i>")};

// Every field of every row carries markup; the row number keeps the rows apart.
QList<QuestionRow> markedRows()
{
    QList<QuestionRow> rows;
    for (int k = 1; k <= 4; ++k) {
        QuestionRow r;
        r.question = QStringLiteral("<b>Who</b> &amp; <img src=x> asked %1?").arg(k);
        r.answers = {QStringLiteral("<b>Right</b> %1").arg(k), QStringLiteral("&amp; %1").arg(k),
                     QStringLiteral("<img src=x> %1").arg(k), QStringLiteral("R&D &&%1").arg(k)};
        r.testament = QStringLiteral("OT");
        r.reference = QStringLiteral("<a href=\"x\">Genesis</a> 1:%1 &lt;").arg(k);
        rows << r;
    }
    return rows;
}

// What a label shows: its text, when the label shows text as plain text.
QString shownText(const QLabel *label)
{
    return label->textFormat() == Qt::PlainText ? label->text() : QStringLiteral("(rich text) ") + label->text();
}

// What a button shows: the caption after the access-key ampersands were taken out.
QString shownCaption(QPushButton *button)
{
    return QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
}
}

class tst_PlainText : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<frmMain> window;

    template <class T>
    T *child(const QString &name) const
    {
        T *w = window->findChild<T *>(name);
        if (!w)
            qFatal("no child %s", qPrintable(name));
        return w;
    }

private slots:
    void init()
    {
        clearMessages();
        clearSettings();
    }
    void cleanup()
    {
        window.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    // Names, questions, answers and references with markup show literally in the labels, the
    // answer buttons, the status bar, the high-score grid and the options dialog's name boxes.
    void markupShowsLiterallyEverywhere()
    {
        const QList<QuestionRow> rows = markedRows();
        basMain::DatabasePath = makeDatabase(dir.filePath(QStringLiteral("marked.mdb")), rows);
        const QString section = QStringLiteral("GameSettings");
        SettingsStore::SaveSetting(section, QStringLiteral("PlayerCnt"), QStringLiteral("4"));
        for (int i = 1; i <= 4; ++i)
            SettingsStore::SaveSetting(section, QStringLiteral("Player%1").arg(i), Names[i - 1]);
        basGame::GameSettings = {};
        window = std::make_unique<frmMain>();
        window->Form_Load();
        window->show();

        QStringList seenNames;
        for (int q = 1; q <= 4; ++q) {
            const int k = child<QLabel>(QStringLiteral("lblQuestion"))->text().section(u' ', -1).chopped(1).toInt();
            QVERIFY(k >= 1 && k <= 4);
            const QuestionRow &row = rows[k - 1];
            QCOMPARE(shownText(child<QLabel>(QStringLiteral("lblQuestion"))), row.question);
            seenNames << shownText(child<QLabel>(QStringLiteral("staStatusBarPanel1")));

            QStringList captions;
            int right = 0;
            for (int i = 1; i <= 4; ++i) {
                auto *button = child<QPushButton>(QStringLiteral("cmdAnswer%1").arg(i));
                captions << shownCaption(button);
                QCOMPARE(shownCaption(button), window->answerCaption(i));
                QVERIFY2(QKeySequence::mnemonic(button->text()).isEmpty(), qPrintable(button->text()));
                if (window->answerCaption(i) == row.answers[0])
                    right = i;
            }
            QCOMPARE(QSet<QString>(captions.begin(), captions.end()),
                     QSet<QString>(row.answers.begin(), row.answers.end()));
            QVERIFY(right > 0);
            child<QPushButton>(QStringLiteral("cmdAnswer%1").arg(right))->click();
            QCOMPARE(child<QLabel>(QStringLiteral("lblResult"))->text(), QStringLiteral("CORRECT"));
            QCOMPARE(shownText(child<QLabel>(QStringLiteral("lblReference"))), row.reference);
            QCOMPARE(shownText(child<QLabel>(QStringLiteral("staStatusBarPanel1"))), Names[q - 1]);

            if (q == 4)
                break;
            child<QPushButton>(QStringLiteral("cmdNewQuestion"))->click();
        }
        QCOMPARE(seenNames, Names);

        // Game over: all four enter the table, and the window opens on it.
        QStringList gridNames;
        whenModal([&](QDialog *scores) {
            auto *grid = scores->findChild<QTableWidget *>(QStringLiteral("grdScores"));
            for (int rank = 1; rank <= 4; ++rank)
                gridNames << grid->item(rank + 1, 1)->data(Qt::DisplayRole).toString();
            scores->reject();
        });
        child<QPushButton>(QStringLiteral("cmdNewQuestion"))->click();
        QCOMPARE(QSet<QString>(gridNames.begin(), gridNames.end()), QSet<QString>(Names.begin(), Names.end()));

        QStringList boxNames;
        whenModal([&](QDialog *options) {
            for (int i = 1; i <= 4; ++i)
                boxNames << options->findChild<QLineEdit *>(QStringLiteral("txtPlayer%1").arg(i))->displayText();
            options->reject();
        });
        child<QAction>(QStringLiteral("mnuOption1"))->trigger();
        QCOMPARE(boxNames, Names);
        QVERIFY(errorTexts().isEmpty());
    }

    // A message box shows its text as plain text, whatever a file name or a value in it holds.
    void messageBoxesShowMarkupLiterally()
    {
        const MsgBox::Handler recorder = MsgBox::setHandler({});
        QtMessageBoxes::install();
        const QString text = QStringLiteral("Couldn't find file '/tmp/<b>x</b>/&amp;<img src=x>.mdb'.");
        QString shown;
        Qt::TextFormat format = Qt::AutoText;
        whenModal([&](QDialog *box) {
            auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
            shown = label->text();
            format = label->textFormat();
            box->reject();
        });
        MsgBox::show(text, MsgBox::Exclamation, QStringLiteral("Error"));
        MsgBox::setHandler(recorder);
        QCOMPARE(shown, text);
        QCOMPARE(format, Qt::PlainText);
    }
};

QUILLORY_TEST_MAIN(tst_PlainText)
#include "tst_plaintext.moc"
