// The windows of one's own questions: the import preview, and the Questions page of the options.
#include "WindowFixture.h"

#include "settings/SettingsStore.h"

#include "settings/PlaySettings.h"

#include "app/frmMain.h"
#include "db/DataControl.h"
#include "core/MessageBox.h"
#include "game/GameSession.h"
#include "import/QuestionSets.h"
#include "questions/FileChooser.h"
#include "settings/PlaySettings.h"
#include "settings/QuestionChoice.h"
#include "settings/SettingsStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

class tst_Questions : public QObject
{
    Q_OBJECT
    WindowFixture fixture;

    QStringList sets() const
    {
        QStringList out;
        for (const QuestionSets::Set &s : QuestionSets::List(fixture.game().data().database()))
            out << QStringLiteral("%1:%2").arg(s.name).arg(s.count);
        return out;
    }

private slots:
    void init() { TestSupport::clearMessages(); }

    // The preview names every row left out by its line; the rows imported under the name
    // given play alone from a new game when asked to.
    void importPreviewThenPlayOnlyTheSet()
    {
        fixture.start(6);
        const QString path = fixture.folder() + QStringLiteral("/Ruth lesson.csv");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Question;Answer1;Answer2;Answer3;Answer4;Testament;Reference\n"
                   "Whither thou goest?;Ruth;Orpah;Naomi;Boaz;;Ruth 1:16\n"
                   "Question 1;Right 1;B;C;D;OT;Genesis 1:2\n"
                   "<b>Bold</b>?;A;B;C;D;NT;Ruth 1:2\n"
                   "Whose field?;Boaz;Mahlon;Chilion;Obed;OT;Ruth 2:3\n");
        file.close();
        FileChooser::setHandler([&](QWidget *, FileChooser::Mode, const QString &) { return path; });
        QString summary;
        QStringList leftOut;
        WindowFixture::whenModal([&](QDialog *preview) {
            QCOMPARE(preview->objectName(), QStringLiteral("frmImport"));
            summary = preview->findChild<QLabel *>(QStringLiteral("lblSummary"))->text();
            const auto *list = preview->findChild<QListWidget *>(QStringLiteral("lstLeftOut"));
            for (int i = 0; i < list->count(); ++i)
                leftOut << list->item(i)->text();
            auto *name = preview->findChild<QLineEdit *>(QStringLiteral("txtSet"));
            QCOMPARE(name->text(), QStringLiteral("Ruth lesson"));
            name->setText(QStringLiteral("Built-in questions"));
            QVERIFY(!preview->findChild<QPushButton *>(QStringLiteral("cmdImport"))->isEnabled());
            name->setText(QStringLiteral("  Ruth  "));
            preview->findChild<QCheckBox *>(QStringLiteral("chkPlayOnly"))->setChecked(true);
            preview->findChild<QPushButton *>(QStringLiteral("cmdImport"))->click();
        });
        fixture.trigger(QStringLiteral("mnuToolsImportQuestions"));
        FileChooser::setHandler({});
        QCOMPARE(summary, QStringLiteral("2 of the 4 rows of the file are ready to import.\n1 row is already in the question database or"
                                         " twice in the file, and skipped.\n1 row cannot be imported, for the reasons below."));
        QCOMPARE(leftOut, (QStringList{"Line 3: the question is already in the database (skipped)",
                                       "Line 4: the testament is NT, but Ruth is in the Old Testament"}));
        QCOMPARE(TestSupport::messages().value(0).text,
                 QStringLiteral("2 questions imported as the question set 'Ruth'. A new game with only these questions starts now."));
        QCOMPARE(sets(), (QStringList{":6", "Ruth:2"}));
        QCOMPARE(QuestionChoice::Current.leftOutSets, QStringList{""});
        QStringList dealt{fixture.text(QStringLiteral("lblQuestion"))};
        fixture.game().Answer(fixture.game().answerText(1) == fixture.game().CorrectAnswer() ? 2 : 1); // no score to offer
        fixture.next();
        dealt << fixture.text(QStringLiteral("lblQuestion"));
        dealt.sort();
        QCOMPARE(dealt, (QStringList{"Whither thou goest?", "Whose field?"}));
    }

    // The page shows the sets with their tick; an imported set is removed after a Yes, and the
    // built-in questions cannot be.
    void questionsPageRemovesASet()
    {
        QStringList items;
        bool builtInRemovable = true;
        WindowFixture::whenModal([&](QDialog *dialog) {
            auto *list = dialog->findChild<QListWidget *>(QStringLiteral("lstSets"));
            auto *remove = dialog->findChild<QPushButton *>(QStringLiteral("cmdRemoveSet"));
            for (int i = 0; i < list->count(); ++i)
                items << QStringLiteral("%1 %2").arg(list->item(i)->text()).arg(list->item(i)->checkState() == Qt::Checked);
            list->setCurrentRow(0);
            builtInRemovable = remove->isEnabled();
            list->setCurrentRow(1);
            TestSupport::queueAnswer(MsgBox::No);
            remove->click();
            TestSupport::queueAnswer(MsgBox::Yes);
            remove->click();
            items << QString::number(list->count());
            dialog->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
        });
        fixture.trigger(QStringLiteral("mnuOption4"));
        QCOMPARE(items, (QStringList{"Built-in questions (6) 0", "Ruth (2) 1", "1"}));
        QVERIFY(!builtInRemovable);
        QCOMPARE(TestSupport::messages().value(0).text, QStringLiteral("Remove the question set 'Ruth' and its 2 questions from the question"
                                                                       " database?\rThis cannot be undone; a new game starts."));
        QVERIFY(TestSupport::messages().value(0).style & MsgBox::DefaultButton2); // Enter keeps the set
        QCOMPARE(sets(), QStringList{":6"});

        // The length of a game: every player gets that many questions, then Game Over.
        WindowFixture::whenModal([](QDialog *dialog) {
            auto *perPlayer = dialog->findChild<QComboBox *>(QStringLiteral("cboQuestionsPerPlayer"));
            perPlayer->setCurrentIndex(perPlayer->findText(QStringLiteral("5")));
            dialog->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
        });
        fixture.trigger(QStringLiteral("mnuOption4"));
        QCOMPARE(PlaySettings::Play.QuestionsPerPlayer, 5);
        fixture.window().close(); // remembered when the window closes
        QCOMPARE(SettingsStore::GetSetting(QStringLiteral("Rounds"), QStringLiteral("QuestionsPerPlayer"), {}), QStringLiteral("5"));
    }
};

QUILLORY_TEST_MAIN(tst_Questions)
#include "tst_questions.moc"
