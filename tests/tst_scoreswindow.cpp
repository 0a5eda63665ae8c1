// The high-scores window: what the grid shows, Reset, OK, and the trophy's sparkle.
#include "TestSupport.h"

#include "app/MessageBox.h"
#include "app/SettingsStore.h"
#include "resources/Resources.h"
#include "scores/HighScoreTable.h"
#include "scores/frmScores.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>

// The compiled-in pictures can be withdrawn and restored, to see a missing picture reported.
static void withdrawPictures() { Q_CLEANUP_RESOURCE(quillory); }
static void restorePictures() { Q_INIT_RESOURCE(quillory); }

namespace {
const QString Section = QStringLiteral("HighScores");

void store(int rank, const QString &name, const QString &score, const QString &percent)
{
    SettingsStore::SaveSetting(Section, QStringLiteral("Name%1").arg(rank), name);
    SettingsStore::SaveSetting(Section, QStringLiteral("Score%1").arg(rank), score);
    SettingsStore::SaveSetting(Section, QStringLiteral("Percent%1").arg(rank), percent);
}

bool sectionStored()
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quillory"), QStringLiteral("Quillory"));
    return s.childGroups().contains(Section);
}

QTableWidget *grid(const QWidget &w) { return w.findChild<QTableWidget *>(QStringLiteral("grdScores")); }
QLabel *trophy(const QWidget &w) { return w.findChild<QLabel *>(QStringLiteral("imgTrophy")); }
QTimer *timer(const QWidget &w, const char *name) { return w.findChild<QTimer *>(QLatin1String(name)); }

// The texts of one grid row, columns 0 to 3.
QStringList row(const QWidget &w, int r)
{
    QStringList texts;
    for (int c = 0; c < 4; ++c)
        texts << grid(w)->item(r, c)->text();
    return texts;
}

QStringList emptyRow(int rank) { return {QStringLiteral("%1.").arg(rank), {}, {}, {}}; }

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
    void initTestCase()
    {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    }

    void init()
    {
        TestSupport::clearSettings();
        TestSupport::clearMessages();
    }

    void cleanup()
    {
        // No window of a test stays open after it.
        const QWidgetList windows = QApplication::topLevelWidgets();
        QVERIFY(std::none_of(windows.cbegin(), windows.cend(), [](QWidget *w) { return w->isVisible(); }));
    }

    void neverPlayedShowsTitleHeadingsAndRanksOnly()
    {
        frmScores w(nullptr);
        w.show();
        QCOMPARE(row(w, 0), QStringList(4, QStringLiteral("Highest Scores")));
        QCOMPARE(grid(w)->columnSpan(0, 0), 4);
        QCOMPARE(row(w, 1), (QStringList{{}, "Name", "Score", "Percent"}));
        for (int rank = 1; rank <= 10; ++rank)
            QCOMPARE(row(w, rank + 1), emptyRow(rank));

        const QTableWidgetItem *title = grid(w)->item(0, 0);
        QCOMPARE(title->foreground().color(), QColor(0, 0, 255));
        QVERIFY(title->font().bold());
        QCOMPARE(title->font().pointSizeF(), 10.0);
        QVERIFY(grid(w)->item(1, 2)->font().bold());
        QVERIFY(grid(w)->item(11, 0)->font().bold());
        QVERIFY(!grid(w)->item(11, 1)->font().bold());
        QCOMPARE(grid(w)->font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(grid(w)->font().pointSizeF(), 8.25);
        QVERIFY(TestSupport::messages().isEmpty());
        w.close();
    }

    void gridShowsTheStoredOrderAndHidesScorelessEntries()
    {
        store(1, QStringLiteral("Ann"), QStringLiteral("150"), QStringLiteral("85"));
        store(2, QStringLiteral("Bob"), QStringLiteral("200"), QStringLiteral("90"));
        store(3, QStringLiteral("Cy"), QStringLiteral("0"), QStringLiteral("40"));
        store(4, QStringLiteral("<b>Di</b>"), QStringLiteral("-25"), QStringLiteral("0"));
        frmScores w(nullptr);
        w.show();
        QCOMPARE(row(w, 2), (QStringList{"1.", "Ann", "150", "85"}));
        QCOMPARE(row(w, 3), (QStringList{"2.", "Bob", "200", "90"}));
        QCOMPARE(row(w, 4), emptyRow(3));
        QCOMPARE(row(w, 5), (QStringList{"4.", "<b>Di</b>", "-25", "0"}));
        QCOMPARE(row(w, 11), emptyRow(10));
        w.close();
    }

    void resetAsksAndClearsOnlyOnYes_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("No") << int(MsgBox::No);
        QTest::newRow("Yes") << int(MsgBox::Yes);
    }
    void resetAsksAndClearsOnlyOnYes()
    {
        QFETCH(int, answer);
        store(1, QStringLiteral("Ann"), QStringLiteral("150"), QStringLiteral("85"));
        frmScores w(nullptr);
        w.show();
        TestSupport::queueAnswer(answer);
        QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("cmdReset")), Qt::LeftButton);

        QCOMPARE(TestSupport::messages().size(), 1);
        const TestSupport::Shown &asked = TestSupport::messages().first();
        QCOMPARE(asked.text, QStringLiteral("Are you sure that you want to reset all scores?"));
        QCOMPARE(asked.style, 36);
        QCOMPARE(asked.title, QStringLiteral("Reset Small Board Scores"));
        const bool reset = answer == MsgBox::Yes;
        QCOMPARE(row(w, 2), reset ? emptyRow(1) : (QStringList{"1.", "Ann", "150", "85"}));
        QCOMPARE(row(w, 0).first(), QStringLiteral("Highest Scores"));
        QCOMPARE(row(w, 1).last(), QStringLiteral("Percent"));
        QCOMPARE(sectionStored(), !reset);
        QVERIFY(w.isVisible());

        // Resetting again, with nothing stored any more, raises no error.
        TestSupport::queueAnswer(MsgBox::Yes);
        QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("cmdReset")), Qt::LeftButton);
        QVERIFY(TestSupport::errorTexts().isEmpty());
        w.close();
    }

    void everyShowingReadsTheStoreAfresh()
    {
        QVERIFY(frmScores::IsHighScore(QStringLiteral("Ann"), 100, 50));
        frmScores w(nullptr);
        w.show();
        QCOMPARE(row(w, 2), (QStringList{"1.", "Ann", "100", "50"}));
        w.close();
        HighScoreTable().DeleteScores();
        QVERIFY(frmScores::IsHighScore(QStringLiteral("Bob"), 0, 10)); // entered, but shows no score
        w.show();
        QCOMPARE(row(w, 2), emptyRow(1));
        QCOMPARE(row(w, 0).first(), QStringLiteral("Highest Scores"));
        w.close();
    }

    void enterActsAsOk_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::newRow("on OK") << "cmdOK";
        QTest::newRow("on the grid") << "grdScores";
    }
    void enterActsAsOk()
    {
        QFETCH(QString, focus);
        frmScores w(nullptr);
        TestSupport::whenModal([focus](QDialog *dialog) {
            QWidget *target = dialog->findChild<QWidget *>(focus);
            target->setFocus();
            QTest::keyClick(target, Qt::Key_Return);
        });
        QCOMPARE(w.exec(), int(QDialog::Accepted));
        QVERIFY(!w.isVisible());
        QVERIFY(!timer(w, "tmrTrophy")->isActive());
    }

    void layoutFitsWithoutScrolling()
    {
        frmScores w(nullptr);
        w.show();
        QCOMPARE(w.size(), QSize(347, 272));
        QCOMPARE(w.windowTitle(), QStringLiteral("High Scores"));
        QTableWidget *g = grid(w);
        int width = 0, height = 0;
        for (int c = 0; c < g->columnCount(); ++c)
            width += g->columnWidth(c);
        for (int r = 0; r < g->rowCount(); ++r)
            height += g->rowHeight(r);
        QVERIFY2(width <= g->viewport()->width(), qPrintable(QString::number(width)));
        QVERIFY2(height <= g->viewport()->height() + 1, qPrintable(QString::number(height)));
        QCOMPARE(g->columnWidth(1), 167);
        // Tab order: OK, Reset Scores, grid; OK has the focus first.
        QWidget *ok = w.findChild<QWidget *>(QStringLiteral("cmdOK"));
        QCOMPARE(w.focusWidget(), ok);
        const auto next = [](QWidget *x) {
            do
                x = x->nextInFocusChain();
            while (!(x->focusPolicy() & Qt::TabFocus));
            return x;
        };
        QWidget *reset = w.findChild<QWidget *>(QStringLiteral("cmdReset"));
        QCOMPARE(next(ok), reset);
        QCOMPARE(next(reset), g);
        QCOMPARE(next(g), ok);
        QVERIFY(!trophy(w)->accessibleName().isEmpty());
        w.close();
    }

    void sparkleShowsFlashesThenTheRestingPicture()
    {
        frmScores w(nullptr);
        w.show();
        QCOMPARE(timer(w, "tmrTrophy")->interval(), 3000);
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
        QVERIFY(TestSupport::messages().isEmpty());
        w.close();
    }

    void closingMidSparkleStopsIt()
    {
        frmScores w(nullptr);
        w.show();
        w.tmrTrophy_Timer();
        QTimer *sparkle = timer(w, "tmrSparkle");
        QSignalSpy steps(sparkle, &QTimer::timeout);
        QTRY_COMPARE(steps.size(), 2);
        QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QVERIFY(!sparkle->isActive());
        QVERIFY(!timer(w, "tmrTrophy")->isActive());
        const qint64 picture = trophy(w)->pixmap().cacheKey();
        QTest::qWait(300);
        QCOMPARE(steps.size(), 2);
        QCOMPARE(trophy(w)->pixmap().cacheKey(), picture);
        QVERIFY(TestSupport::messages().isEmpty());
    }

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
