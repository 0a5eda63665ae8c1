// The compiled-in pictures: names, sizes, the 16-colour palette, transparency, and the
// frames of the two animations differing only where they should.
#include "TestSupport.h"

#include "resources/Resources.h"

#include <QApplication>
#include <QImage>
#include <QRect>
#include <QSet>

namespace {

QImage argb(const QPixmap &pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

// The pixels in which two images of one size differ: their bounding box and their number.
QRect changedArea(const QImage &a, const QImage &b, int *count)
{
    QRect area;
    *count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                area |= QRect(x, y, 1, 1);
                ++*count;
            }
    return area;
}

const QSet<QRgb> &standardColours()
{
    static const QSet<QRgb> colours{
        qRgb(0, 0, 0),     qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),   qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0), qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),   qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    return colours;
}
}

class tst_Resources : public QObject
{
    Q_OBJECT

private slots:
    void pictures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        for (const char *name : {"TROPHY1", "TROPHY2", "TROPHY3"})
            QTest::newRow(name) << QString::fromLatin1(name) << QSize(129, 56);
        for (const char *name : {"FACE_SMILE", "FACE_NEUTRAL", "FACE_FROWN", "HAND", "APP_ICON",
                                 "SNAKE_OUT", "SNAKE_IN"})
            QTest::newRow(name) << QString::fromLatin1(name) << QSize(32, 32);
        for (const char *name : {"TB_NEW", "TB_SCORES", "TB_COLORS", "TB_PLAYERS", "TB_TESTAMENT",
                                 "TB_TIMED", "TB_ABOUT", "TB_EXIT"})
            QTest::newRow(name) << QString::fromLatin1(name) << QSize(16, 15);
    }
    // Every picture loads by its name, at its size, painted only in the 16 standard colours.
    void pictures()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        const QPixmap pixmap = Resources::picture(name);
        QVERIFY(!pixmap.isNull());
        QCOMPARE(pixmap.size(), size);
        const QImage image = argb(pixmap);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                if (qAlpha(p) == 0)
                    continue;
                QVERIFY2(qAlpha(p) == 255 && standardColours().contains(p | 0xff000000u),
                         qPrintable(QStringLiteral("(%1,%2) is #%3").arg(x).arg(y).arg(p, 8, 16, QLatin1Char('0'))));
            }
    }

    // An unknown name gives a null picture, not a failure.
    void unknownNameIsNull()
    {
        QVERIFY(Resources::picture(QStringLiteral("TROPHY4")).isNull());
        QVERIFY(Resources::picture(QStringLiteral("TB_NONE")).isNull());
        QVERIFY(Resources::picture(QString()).isNull());
        QVERIFY(!Resources::appIcon().isNull());
    }

    void toolbarGround_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"TB_NEW", "TB_SCORES", "TB_COLORS", "TB_PLAYERS", "TB_TESTAMENT",
                                 "TB_TIMED", "TB_ABOUT", "TB_EXIT"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    // A toolbar image is transparent exactly where it was drawn in silver, and silver only.
    void toolbarGround()
    {
        QFETCH(QString, name);
        Resources::init();
        const QImage drawn = QImage(QStringLiteral(":/") + name).convertToFormat(QImage::Format_ARGB32);
        const QImage shown = argb(Resources::picture(name));
        QCOMPARE(drawn.size(), shown.size());
        int transparent = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x) {
                const bool silver = drawn.pixel(x, y) == qRgb(192, 192, 192);
                QCOMPARE(qAlpha(shown.pixel(x, y)) == 0, silver);
                transparent += silver;
            }
        QVERIFY(transparent > 20);
        QVERIFY(transparent < drawn.width() * drawn.height() - 20);
    }

    // The icons are transparent around their drawing (all four corners, and much of the
    // square); the trophy pictures are opaque on their grey ground.
    void iconsTransparentAroundTrophiesOpaque()
    {
        for (const char *name : {"FACE_SMILE", "FACE_NEUTRAL", "FACE_FROWN", "HAND", "APP_ICON",
                                 "SNAKE_OUT", "SNAKE_IN"}) {
            const QImage image = argb(Resources::picture(QString::fromLatin1(name)));
            for (const QPoint corner : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31)})
                QVERIFY2(qAlpha(image.pixel(corner)) == 0, name);
            int opaque = 0;
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x)
                    opaque += qAlpha(image.pixel(x, y)) == 255;
            QVERIFY2(opaque > 32 * 32 / 5 && opaque < 32 * 32 * 9 / 10, name);
        }
        const QImage trophy = argb(Resources::picture(QStringLiteral("TROPHY1")));
        for (int y = 0; y < trophy.height(); ++y)
            for (int x = 0; x < trophy.width(); ++x)
                QCOMPARE(qAlpha(trophy.pixel(x, y)), 255);
        QCOMPARE(trophy.pixel(0, 0), qRgb(192, 192, 192));
        QCOMPARE(trophy.pixel(128, 0), qRgb(192, 192, 192));
    }

    // TROPHY2 and TROPHY3 are TROPHY1 with a sparkle at the middle cup's upper left rim;
    // the glint of TROPHY3 is the smaller one.
    void trophiesDifferOnlyInTheSparkle()
    {
        const QImage plain = argb(Resources::picture(QStringLiteral("TROPHY1")));
        int large = 0;
        int small = 0;
        const QRect sparkle = changedArea(plain, argb(Resources::picture(QStringLiteral("TROPHY2"))), &large);
        const QRect glint = changedArea(plain, argb(Resources::picture(QStringLiteral("TROPHY3"))), &small);
        for (const QRect &area : {sparkle, glint}) {
            QVERIFY(!area.isEmpty());
            QVERIFY(area.width() <= 20 && area.height() <= 20);
            // left of the middle of the picture, in its upper half
            QVERIFY(area.center().x() > 129 / 3 && area.center().x() < 129 / 2);
            QVERIFY(area.center().y() < 56 / 2);
        }
        QVERIFY(sparkle.contains(glint.center()));
        QVERIFY(small < large);
    }

    // The two snakes differ only in the tongue: red pixels near the head, at the top right.
    void snakesDifferOnlyInTheTongue()
    {
        const QImage out = argb(Resources::picture(QStringLiteral("SNAKE_OUT")));
        const QImage in = argb(Resources::picture(QStringLiteral("SNAKE_IN")));
        int count = 0;
        const QRect tongue = changedArea(out, in, &count);
        QVERIFY(count >= 3 && count <= 20);
        QVERIFY(tongue.left() >= 16 && tongue.bottom() < 12);
        QCOMPARE(tongue.top(), 0);
        for (int y = tongue.top(); y <= tongue.bottom(); ++y)
            for (int x = tongue.left(); x <= tongue.right(); ++x)
                if (out.pixel(x, y) != in.pixel(x, y)) {
                    QCOMPARE(out.pixel(x, y), qRgb(255, 0, 0));
                    QCOMPARE(qAlpha(in.pixel(x, y)), 0);
                }
    }
};

QUILLORY_TEST_MAIN(tst_Resources)
#include "tst_resources.moc"
