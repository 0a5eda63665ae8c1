// The about box: its texts and the snake's tongue, out at opening and flicking every second.
#include "WindowFixture.h"

#include "about/frmAbout.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

class tst_About : public QObject
{
    Q_OBJECT

    static bool out(const frmAbout &about) { return !about.findChild<QLabel *>(QStringLiteral("imgSnakeOut"))->isHidden(); }
    static bool in(const frmAbout &about) { return !about.findChild<QLabel *>(QStringLiteral("imgSnakeIn"))->isHidden(); }

private slots:
    void tongueFlicksEverySecondStartingOut()
    {
        for (int opening = 0; opening < 2; ++opening) { // reopening starts with the tongue out again
            frmAbout about(nullptr);
            QCOMPARE(about.windowTitle(), QStringLiteral("About Quillory"));
            QCOMPARE(about.findChild<QLabel *>(QStringLiteral("lblTitle"))->text(), QStringLiteral("Quillory v1.0"));
            auto *timer = about.findChild<QTimer *>(QStringLiteral("tmrSnake"));
            QVERIFY(timer->isActive());
            QCOMPARE(timer->interval(), 1000);
            QVERIFY(out(about) && !in(about));
            about.tmrSnake_Timer();
            QVERIFY(in(about) && !out(about));
            about.tmrSnake_Timer();
            QVERIFY(out(about) && !in(about));
            about.tmrSnake_Timer(); // close after an odd number of ticks
            QVERIFY(in(about));
        }
    }

    void okClosesTheBox()
    {
        frmAbout about(nullptr);
        QTimer::singleShot(0, &about, [&about] { about.findChild<QPushButton *>(QStringLiteral("cmdOk"))->click(); });
        QCOMPARE(about.exec(), int(QDialog::Accepted));
        QVERIFY(about.findChild<QLabel *>(QStringLiteral("imgSnakeOut"))->pixmap().size() == QSize(32, 32));
    }
};

QUILLORY_TEST_MAIN(tst_About)
#include "tst_about.moc"
