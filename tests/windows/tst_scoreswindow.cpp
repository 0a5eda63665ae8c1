// The high-scores window: what the grid shows, Reset, OK, and the trophy's sparkle.
#include "WindowFixture.h"

#include "core/MessageBox.h"
#include "settings/SettingsStore.h"
#include "resources/Resources.h"
#include "scores/HighScoreTable.h"
#include "scores/frmScores.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTimer>

// The compiled-in pictures can be withdrawn and restored, to see a missing picture reported.
static void withdrawPictures() { Q_CLEANUP_RESOURCE(quillory); }
static void restorePictures() { Q_INIT_RESOURCE(quillory); }

namespace {
const QString Section = QStringLiteral("HighScores");

// The texts of one grid row, columns 0 to 3, joined by "|".
QString row(const QWidget &w, int r)
{
    QStringList texts;
    for (int c = 0; c < 4; ++c)
        texts << w.findChild<QTableWidget *>(QStringLiteral("grdScores"))->item(r, c)->text();
    return texts.join(u'|');
}

QLabel *trophy(const QWidget &w) { return w.findChild<QLabel *>(QStringLiteral("imgTrophy")); }
QTimer *timer(const QWidget &w, const char *name) { return w.findChild<QTimer *>(QLatin1String(name)); }
void click(const QWidget &w, const char *name) { QTest::mouseClick(w.findChild<QPushButton *>(QLatin1String(name)), Qt::LeftButton); }

// Which trophy picture the label shows: 1 to 3, or 0 for none of them.
int shownTrophy(const QWidget &w)
{
    const QImage shown = trophy(w)->pixmap().toImage();
    for (int n = 1; n <= 3; ++n)
        if (shown == Resources::picture(QStringLiteral("TROPHY%1").arg(n)).toImage())
            return n;
    return 0;
}
}

class tst_ScoresWindow : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        TestSupport::clearSettings();
        TestSupport::clearMessages();
    }

    void cleanup()
    {
        // No window of a test stays open after it.
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY(!w->isVisible());
    }

    // The grid shows the title, the headings and the ranks; the entries in stored order, as plain
    // text and plain numbers, and nothing but the rank for an entry without points.
    void gridShowsTheStoredOrderAndHidesScorelessEntries()
    {
        const QStringList stored{"Ann|150|85", "Bob|200|90", "Cy|0|40", "<b>Di</b>|-25|0"};
        for (int i = 1; i <= stored.size(); ++i) {
            const QStringList f = stored[i - 1].split(u'|');
            SettingsStore::SaveSetting(Section, QStringLiteral("Name%1").arg(i), f[0]);
            SettingsStore::SaveSetting(Section, QStringLiteral("Score%1").arg(i), f[1]);
            SettingsStore::SaveSetting(Section, QStringLiteral("Percent%1").arg(i), f[2]);
        }
        frmScores w(nullptr);
        w.show();
        QCOMPARE(row(w, 0), QStringLiteral("Highest Scores|Highest Scores|Highest Scores|Highest Scores"));
        QCOMPARE(row(w, 1), QStringLiteral("|Name|Score|Percent"));
        const QStringList shown{"1.|Ann|150|85", "2.|Bob|200|90", "3.|||", "4.|<b>Di</b>|-25|0"};
        for (int rank = 1; rank <= 10; ++rank)
            QCOMPARE(row(w, rank + 1), shown.value(rank - 1, QStringLiteral("%1.|||").arg(rank)));
        QVERIFY(TestSupport::messages().isEmpty());
        w.close();
    }

    void resetAsksAndClearsOnlyOnYes_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("No") << int(MsgBox::No);
        QTest::newRow("Yes") << int(MsgBox::Yes);
    }
    // Reset asks first; Yes empties the entries at once (title, headings and ranks stay) and
    // deletes the stored table, No changes nothing. Every showing reads the store afresh, and
    // resetting with nothing stored is silent.
    void resetAsksAndClearsOnlyOnYes()
    {
        QFETCH(int, answer);
        const bool yes = answer == MsgBox::Yes;
        QVERIFY(frmScores::IsHighScore(QStringLiteral("Ann"), 150, 85));
        frmScores w(nullptr);
        w.show();
        TestSupport::queueAnswer(answer);
        click(w, "cmdReset");
        QCOMPARE(TestSupport::messages().size(), 1);
        QCOMPARE(TestSupport::messages()[0].text, QStringLiteral("Are you sure that you want to reset all scores?"));
        QCOMPARE(TestSupport::messages()[0].style, 36);
        QCOMPARE(TestSupport::messages()[0].title, QStringLiteral("Reset Small Board Scores"));
        QCOMPARE(row(w, 1) + u'/' + row(w, 2), yes ? "|Name|Score|Percent/1.|||" : "|Name|Score|Percent/1.|Ann|150|85");
        QCOMPARE(SettingsStore::GetSetting(Section, QStringLiteral("Score1"), QStringLiteral("none")), yes ? "none" : "150");
        QVERIFY(w.isVisible());
        w.close();
        HighScoreTable().DeleteScores();
        w.show();
        QCOMPARE(row(w, 2), QStringLiteral("1.|||"));
        TestSupport::queueAnswer(MsgBox::Yes);
        click(w, "cmdReset");
        QVERIFY(TestSupport::errorTexts().isEmpty());
        w.close();
    }

    // Enter acts as OK even with the focus away from the OK button, and the trophy timer stops.
    void enterActsAsOk()
    {
        frmScores w(nullptr);
        WindowFixture::whenModal([](QDialog *dialog) {
            QWidget *grid = dialog->findChild<QWidget *>(QStringLiteral("grdScores"));
            grid->setFocus();
            QTest::keyClick(grid, Qt::Key_Return);
            if (dialog->isVisible())
                dialog->reject(); // Enter did nothing
        });
        QCOMPARE(w.exec(), int(QDialog::Accepted));
        QVERIFY(!timer(w, "tmrTrophy")->isActive());
    }

    // The trophy rests from the window's opening; a tick shows TROPHY2 and TROPHY3 four times, a
    // tenth of a second apart, then the resting picture again.
    void sparkleShowsFlashesThenTheRestingPicture()
    {
        frmScores w(nullptr);
        w.show();
        QVERIFY(timer(w, "tmrTrophy")->isActive());
        QCOMPARE(shownTrophy(w), 1);
        QList<int> frames;
        QTimer *sparkle = timer(w, "tmrSparkle");
        connect(sparkle, &QTimer::timeout, this, [&] { frames << shownTrophy(w); });
        QElapsedTimer clock;
        clock.start();
        w.tmrTrophy_Timer();
        frames.prepend(shownTrophy(w));
        QTRY_VERIFY(!sparkle->isActive());
        QCOMPARE(frames, (QList<int>{2, 3, 2, 3, 2, 3, 2, 3, 1}));
        QVERIFY(clock.elapsed() >= 790);
        w.close();
    }

    // Closing the window mid-sparkle ends the sparkle: the closed window is not drawn on again.
    void closingMidSparkleStopsIt()
    {
        frmScores w(nullptr);
        w.show();
        w.tmrTrophy_Timer();
        QTimer *sparkle = timer(w, "tmrSparkle");
        QSignalSpy steps(sparkle, &QTimer::timeout);
        QTRY_COMPARE(steps.size(), 2);
        click(w, "cmdOK");
        QVERIFY(!w.isVisible() && !sparkle->isActive() && !timer(w, "tmrTrophy")->isActive());
        const qint64 picture = trophy(w)->pixmap().cacheKey();
        QTest::qWait(300);
        QCOMPARE(steps.size(), 2);
        QCOMPARE(trophy(w)->pixmap().cacheKey(), picture);
    }

    // A missing trophy picture is reported at each tick, and the picture stays as it was.
    void missingPictureIsReportedAtEachTick()
    {
        frmScores w(nullptr);
        w.show();
        const qint64 resting = trophy(w)->pixmap().cacheKey();
        withdrawPictures();
        w.tmrTrophy_Timer();
        w.tmrTrophy_Timer();
        restorePictures();
        const QString report = QStringLiteral("Error #: 326\rResource with identifier 'TROPHY2' not found");
        QCOMPARE(TestSupport::errorTexts(), (QStringList{report, report}));
        QVERIFY(!timer(w, "tmrSparkle")->isActive());
        QCOMPARE(trophy(w)->pixmap().cacheKey(), resting);
        w.close();
    }
};

QUILLORY_TEST_MAIN(tst_ScoresWindow)
#include "tst_scoreswindow.moc"
