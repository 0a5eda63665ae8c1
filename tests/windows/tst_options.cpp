// The options dialog: pages, the Apply rules, the player count field and the colours.
#include "WindowFixture.h"

#include "settings/SettingsStore.h"
#include "settings/basGame.h"
#include "core/basMain.h"
#include "app/frmMain.h"
#include "game/GameSession.h"
#include "options/ColorChooser.h"
#include "options/frmOptions.h"
#include "scores/HighScoreTable.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <functional>
#include <memory>

using basGame::GameSettings;

class tst_Options : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<frmMain> window;
    std::unique_ptr<frmOptions> options;

    void start(int players = 1, const QString &winClr = {})
    {
        basMain::DatabasePath = TestSupport::makeDatabase(dir.filePath(QStringLiteral("o.mdb")), TestSupport::sampleRows(6));
        TestSupport::clearSettings();
        SettingsStore::SaveSetting(QStringLiteral("GameSettings"), QStringLiteral("PlayerCnt"), QString::number(players));
        if (!winClr.isEmpty())
            SettingsStore::SaveSetting(QStringLiteral("GameSettings"), QStringLiteral("WinClr"), winClr);
        GameSettings = {};
        window = std::make_unique<frmMain>();
        window->Form_Load();
    }
    frmOptions &open(int page)
    {
        options = std::make_unique<frmOptions>(window.get(), window->game());
        QObject::connect(options.get(), &frmOptions::colorChanged, window.get(), &frmMain::SetColor);
        options->setCurrentPage(page);
        return *options;
    }
    template <class T>
    T *opt(const QString &name) const { return options->findChild<T *>(name); }
    QLineEdit *name(int i) const { return opt<QLineEdit>(QStringLiteral("txtPlayer%1").arg(i)); }
    QPushButton *button(const QString &n) const { return opt<QPushButton>(n); }
    bool applyEnabled() const { return button(QStringLiteral("cmdApply"))->isEnabled(); }
    // Answers the current question correctly, so the game has a result to offer.
    void answerRight()
    {
        for (int i = 1; i <= 4; ++i)
            if (window->game().answerText(i).startsWith(QStringLiteral("Right")))
                window->cmdAnswer_Click(i);
    }
    static QStringList dialogsOf(const std::function<void()> &act) { return WindowFixture::dialogsOf(act); }
    QColor windowColour(const QString &control, QPalette::ColorRole role) const
    {
        return window->findChild<QWidget *>(control)->palette().color(role);
    }

private slots:
    void init() { TestSupport::clearMessages(); }
    void cleanup() { ColorChooser::setHandler({}); options.reset(); window.reset(); }

    void menusAndToolbarOpenTheirPage_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("focus"); // the page's first control in the tab order
        const char *first[] = {"cmdColor", "mskPlayerCnt", "optTestament3", "optTimed2"};
        for (int i = 0; i < 4; ++i)
            QTest::addRow("mnuOption%d", i) << QStringLiteral("mnuOption%1").arg(i) << i << QString::fromLatin1(first[i]);
        QTest::newRow("mnuOption4") << "mnuOption4" << 4 << "lstSets";
        QTest::newRow("toolbar Colors") << "tlbButtonColors" << 0 << "cmdColor";
        QTest::newRow("toolbar Players") << "tlbButtonPlayers" << 1 << "mskPlayerCnt";
        QTest::newRow("toolbar Test") << "tlbButtonTestament" << 2 << "optTestament3";
    }
    void menusAndToolbarOpenTheirPage()
    {
        QFETCH(QString, command);
        start();
        int shownPage = -1;
        bool applyOnOpen = true;
        QString focused;
        WindowFixture::whenModal([&](QDialog *dialog) {
            shownPage = dialog->findChild<QTabWidget *>(QStringLiteral("tabOptions"))->currentIndex();
            focused = dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString();
            applyOnOpen = dialog->findChild<QPushButton *>(QStringLiteral("cmdApply"))->isEnabled();
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Options"));
            dialog->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
        });
        window->findChild<QAction *>(command)->trigger();
        QTEST(shownPage, "page");
        QTEST(focused, "focus");
        QVERIFY(!applyOnOpen);
    }

    // The players page shows the count and greys the unused seats; the count is clamped to 4,
    // and 0 or nothing applies as 1.
    void playersPageCountAndSeats()
    {
        start(2);
        GameSettings.Players[3].Name = QStringLiteral("Cy");
        open(1);
        auto *count = opt<QLineEdit>(QStringLiteral("mskPlayerCnt"));
        QCOMPARE(count->text(), QStringLiteral("2"));
        for (int i = 1; i <= 4; ++i) {
            QCOMPARE(name(i)->isEnabled(), i <= 2);
            QCOMPARE(name(i)->palette().color(QPalette::Base), i <= 2 ? QColor(255, 255, 255) : QColor(192, 192, 192));
        }
        QCOMPARE(name(3)->text(), QStringLiteral("Cy"));
        QCOMPARE(name(1)->maxLength(), 25);
        QVERIFY(!applyEnabled());
        // A screen reader announces the spin control by the field's name, with its number.
        QAccessibleInterface *spin = QAccessible::queryAccessibleInterface(opt<QWidget>(QStringLiteral("UpDownPlayerCnt")));
        QCOMPARE(spin->role(), QAccessible::SpinBox);
        QCOMPARE(spin->text(QAccessible::Name) + u'=' + spin->text(QAccessible::Value), QStringLiteral("Number of Players=2"));

        count->selectAll();
        QTest::keyClicks(count, QStringLiteral("7"));
        QCOMPARE(count->text(), QStringLiteral("4"));
        for (int i = 1; i <= 4; ++i)
            QVERIFY(name(i)->isEnabled());
        QVERIFY(applyEnabled());

        count->setText(QStringLiteral("0"));
        QVERIFY(name(1)->isEnabled() && !name(2)->isEnabled());
        button(QStringLiteral("cmdApply"))->click();
        QCOMPARE(GameSettings.PlayerCnt, qint16(1));
        count->clear();
        button(QStringLiteral("cmdApply"))->click();
        QCOMPARE(GameSettings.PlayerCnt, qint16(1));
        QCOMPARE(count->text(), QStringLiteral("1"));
    }

    void cancelKeepsWhatWasAppliedOnly()
    {
        start();
        answerRight();
        open(1);
        name(1)->setText(QStringLiteral("Zed"));
        QVERIFY(applyEnabled());
        button(QStringLiteral("cmdCancel"))->click();
        QCOMPARE(GameSettings.Players[1].Name, QStringLiteral("Player 1"));
        QCOMPARE(GameSettings.Players[1].Answered, qint16(1)); // the game goes on
        open(1);
        button(QStringLiteral("cmdOK"))->click(); // nothing changed: no restart
        QCOMPARE(GameSettings.Players[1].Answered, qint16(1));
        QVERIFY(TestSupport::messages().isEmpty());

        // An edit, a page switch (which applies the page), then Cancel: the name stays and a
        // new game has started.
        open(1);
        name(1)->setText(QStringLiteral("Zed"));
        const QStringList dialogs = dialogsOf([this] { opt<QTabWidget>(QStringLiteral("tabOptions"))->setCurrentIndex(2); });
        QVERIFY(!applyEnabled());
        button(QStringLiteral("cmdCancel"))->click();
        QCOMPARE(GameSettings.Players[1].Name, QStringLiteral("Zed"));
        QCOMPARE(GameSettings.Players[1].Answered, qint16(0));
        QCOMPARE(dialogs, QStringList{QStringLiteral("frmScores")}); // the result was offered first
    }

    void defaultResetsOnlyTheCurrentPage()
    {
        start(3);
        GameSettings.Testament = basGame::Testament::Old;
        GameSettings.Players[2].Name = QStringLiteral("Bo");
        open(2);
        button(QStringLiteral("cmdDefault"))->click();
        QCOMPARE(GameSettings.Testament, basGame::Testament::Both);
        QVERIFY(opt<QRadioButton>(QStringLiteral("optTestament3"))->isChecked());
        QCOMPARE(GameSettings.PlayerCnt, qint16(3));
        QCOMPARE(GameSettings.Players[2].Name, QStringLiteral("Bo"));
        QVERIFY(!applyEnabled());

        answerRight();
        const QStringList dialogs = dialogsOf([this] {
            opt<QTabWidget>(QStringLiteral("tabOptions"))->setCurrentIndex(1);
            button(QStringLiteral("cmdDefault"))->click();
        });
        QCOMPARE(GameSettings.PlayerCnt, qint16(1));
        for (int i = 1; i <= 4; ++i)
            QCOMPARE(GameSettings.Players[i].Name, QStringLiteral("Player %1").arg(i));
        QVERIFY(!name(2)->isEnabled());
        QCOMPARE(GameSettings.Players[1].Answered, qint16(0)); // a new game
        QCOMPARE(dialogs, QStringList{QStringLiteral("frmScores")});

        GameSettings.Timed = true;
        opt<QTabWidget>(QStringLiteral("tabOptions"))->setCurrentIndex(3);
        button(QStringLiteral("cmdDefault"))->click();
        QVERIFY(!GameSettings.Timed);
        QVERIFY(!window->findChild<QAction *>(QStringLiteral("tlbButtonTimed"))->isChecked());
    }

    void timedAndTestamentApplyWithoutRestarting()
    {
        start();
        answerRight();
        open(3);
        opt<QRadioButton>(QStringLiteral("optTimed1"))->click();
        QVERIFY(applyEnabled());
        button(QStringLiteral("cmdApply"))->click();
        QVERIFY(GameSettings.Timed);
        QVERIFY(window->findChild<QAction *>(QStringLiteral("tlbButtonTimed"))->isChecked());
        opt<QTabWidget>(QStringLiteral("tabOptions"))->setCurrentIndex(2);
        opt<QRadioButton>(QStringLiteral("optTestament2"))->click();
        button(QStringLiteral("cmdOK"))->click();
        QCOMPARE(GameSettings.Testament, basGame::Testament::New);
        QCOMPARE(GameSettings.Players[1].Answered, 1);
    }

    void coloursAreStoredAndPaintedAtOnce()
    {
        start();
        open(0);
        QColor offered;
        ColorChooser::setHandler([&](QWidget *, const QColor &initial) -> std::optional<QColor> {
            offered = initial;
            return QColor(0, 0, 128);
        });
        button(QStringLiteral("cmdColor"))->click();
        QCOMPARE(offered, QColor(192, 192, 192));
        QCOMPARE(GameSettings.WinClr, 128 << 16);
        for (const char *control : {"clientArea", "fraQuestion", "lblQuestion", "fraResult", "lblResult", "lblReference", "lblPoints"})
            QCOMPARE(windowColour(QLatin1String(control), QPalette::Window), QColor(0, 0, 128));
        QCOMPARE(window->findChild<QPushButton *>(QStringLiteral("cmdAnswer1"))->palette().color(QPalette::Button),
                 QApplication::palette().color(QPalette::Button));
        // As drawn: the toolbar and the status bar keep the system's colours, readable on any
        // window colour; the frames show the new one.
        window->show();
        const QImage drawn = window->grab().toImage();
        auto at = [&](const char *name, QPoint point) {
            const QWidget *w = window->findChild<QWidget *>(QLatin1String(name));
            return drawn.pixelColor(w->mapTo(window.get(), point) * drawn.devicePixelRatio());
        };
        const QWidget *toolbar = window->findChild<QWidget *>(QStringLiteral("tlbToolbar"));
        QCOMPARE(at("tlbToolbar", QPoint(toolbar->width() - 3, toolbar->height() / 2)), QApplication::palette().color(QPalette::Window));
        QCOMPARE(at("staStatusBar", QPoint(0, 10)), QApplication::palette().color(QPalette::Window));
        int dark = 0;
        for (int x = 0; x < 60; ++x)
            dark += at("staStatusBarPanel1", QPoint(x, 10)).lightness() < 100;
        QVERIFY(dark > 3); // the player's name, in dark text on the light bar
        const QImage frame = window->findChild<QWidget *>(QStringLiteral("fraResult"))->grab().toImage();
        QCOMPARE(frame.pixelColor(frame.width() / 2, frame.height() / 2), QColor(0, 0, 128));

        opt<QRadioButton>(QStringLiteral("optColors2"))->click();
        ColorChooser::setHandler([](QWidget *, const QColor &) -> std::optional<QColor> { return QColor(255, 0, 0); });
        button(QStringLiteral("cmdColor"))->click();
        QCOMPARE(GameSettings.WinTxtClr, 255);
        QCOMPARE(windowColour(QStringLiteral("lblPoints"), QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(windowColour(QStringLiteral("clientArea"), QPalette::Window), QColor(0, 0, 128));
        QVERIFY(!applyEnabled());

        // A cancelled chooser changes nothing; Cancel keeps the chosen colours.
        ColorChooser::setHandler([](QWidget *, const QColor &) -> std::optional<QColor> { return std::nullopt; });
        button(QStringLiteral("cmdColor"))->click();
        QCOMPARE(GameSettings.WinTxtClr, 255);
        button(QStringLiteral("cmdCancel"))->click();
        QCOMPARE(GameSettings.WinClr, 128 << 16);

        open(0);
        button(QStringLiteral("cmdDefault"))->click();
        QCOMPARE(GameSettings.WinClr, 12632256);
        QCOMPARE(GameSettings.WinTxtClr, 0);
        QVERIFY(opt<QRadioButton>(QStringLiteral("optColors1"))->isChecked());
        QCOMPARE(windowColour(QStringLiteral("fraQuestion"), QPalette::Window), QColor(192, 192, 192));
    }

    void negativeStoredColourPaintsTheDefault()
    {
        start(1, QStringLiteral("-1"));
        QCOMPARE(GameSettings.WinClr, -1);
        QCOMPARE(windowColour(QStringLiteral("clientArea"), QPalette::Window), QColor(192, 192, 192));
    }
};

QUILLORY_TEST_MAIN(tst_Options)
#include "tst_options.moc"
