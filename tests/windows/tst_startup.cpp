// Start-up: the missing-file message, the error report, and the main window's first game.
#include "WindowFixture.h"

#include "core/RunTimeError.h"
#include "settings/SettingsStore.h"
#include "settings/basGame.h"
#include "app/Startup.h"
#include "core/DataFiles.h"
#include "core/basMain.h"
#include "app/frmMain.h"

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>

class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        TestSupport::clearMessages();
        TestSupport::clearSettings();
    }

    // No database beside the program, none of the player's own, none installed: the message names
    // the installed one, the path looked for last.
    void missingDatabaseEndsWithOneMessageAndNoWindow()
    {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/it's here-XXXXXX"));
        QVERIFY(!basMain::Main(dir.path() + QStringLiteral("/bin")));
        QCOMPARE(TestSupport::messages().size(), 1);
        const auto &m = TestSupport::messages()[0];
        QVERIFY(DataFiles::InstalledFolder().startsWith(dir.path())); // the apostrophe shown as it is
        QCOMPARE(m.text, QStringLiteral("Couldn't find file '") + DataFiles::InstalledFolder() + QStringLiteral("/Quillory.mdb'."));
        QCOMPARE(m.title, QStringLiteral("Error"));
        QCOMPARE(m.style, 48);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void errorReportFormat()
    {
        basMain::ReportError(RunTimeError::standard(Err::Overflow));
        QCOMPARE(TestSupport::messages().size(), 1);
        QCOMPARE(TestSupport::messages()[0].text, QStringLiteral("Error #: 6\rOverflow"));
        QCOMPARE(TestSupport::messages()[0].style, 48);
        // A trap reports and ends the procedure; nothing escapes to the caller.
        QVERIFY(!basMain::Trap([] { throw std::runtime_error("boom"); }));
        QCOMPARE(TestSupport::errorTexts().size(), 2);
    }

    void startsAGameOnTheDatabaseBesideTheProgram()
    {
        QTemporaryDir dir;
        TestSupport::makeDatabase(dir.filePath(QStringLiteral("Quillory.mdb")), TestSupport::sampleRows(5));
        QVERIFY(basMain::Main(dir.path()));
        QCOMPARE(basMain::DatabasePath, dir.path() + QStringLiteral("/Quillory.mdb"));
        QVERIFY(TestSupport::messages().isEmpty());
        frmMain *window = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *main = qobject_cast<frmMain *>(w))
                window = main;
        QVERIFY(window);
        const QString question = window->findChild<QLabel *>(QStringLiteral("lblQuestion"))->text();
        QVERIFY2(question.startsWith(QStringLiteral("Question ")), qPrintable(question));

        basGame::GameSettings.Players[1].Name = QStringLiteral("Ann");
        QVERIFY(window->close());
        QCOMPARE(SettingsStore::GetSetting(QStringLiteral("GameSettings"), QStringLiteral("Player1"), {}), QStringLiteral("Ann"));
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void wrongPasswordIsReportedAndTheWindowStillOpens()
    {
        QTemporaryDir dir;
        TestSupport::makeDatabase(dir.filePath(QStringLiteral("Quillory.mdb")), TestSupport::sampleRows(5),
                                  QStringLiteral("another"));
        QVERIFY(basMain::Main(dir.path()));
        const QStringList errors = TestSupport::errorTexts();
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].startsWith(QStringLiteral("Error #: 3101\r")), qPrintable(errors[0]));
        QWidget *window = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<frmMain *>(w))
                window = w;
        QVERIFY(window);
        window->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QUILLORY_TEST_MAIN(tst_Startup)
#include "tst_startup.moc"
