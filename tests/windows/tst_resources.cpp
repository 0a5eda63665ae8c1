// The compiled-in pictures: names, sizes, the 16-colour palette, transparency, and the
// frames of the two animations differing only where they should.
#include "WindowFixture.h"

#include "resources/Resources.h"

#include <QApplication>
#include <QImage>

namespace {
QImage argb(const QString &name)
{
    return Resources::picture(name).toImage().convertToFormat(QImage::Format_ARGB32);
}

// How many pixels of frame differ from base, or -1 when one lies outside within or is not paint.
int changedPixels(const char *base, const char *frame, const QRect &within, QRgb paint)
{
    const QImage a = argb(QLatin1String(base)), b = argb(QLatin1String(frame));
    int changed = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                if (!within.contains(x, y) || b.pixel(x, y) != paint)
                    return -1;
                ++changed;
            }
    return changed;
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
        const auto add = [](QSize size, std::initializer_list<const char *> names) {
            for (const char *name : names)
                QTest::newRow(name) << QString::fromLatin1(name) << size;
        };
        add({129, 56}, {"TROPHY1", "TROPHY2", "TROPHY3"});
        add({32, 32}, {"FACE_SMILE", "FACE_NEUTRAL", "FACE_FROWN", "HAND", "APP_ICON", "SNAKE_OUT", "SNAKE_IN"});
        add({16, 15}, {"TB_NEW", "TB_SCORES", "TB_COLORS", "TB_PLAYERS", "TB_TESTAMENT", "TB_TIMED", "TB_ABOUT", "TB_EXIT"});
        add({0, 0}, {"TROPHY4", "TB_NONE"}); // unknown names load as null pictures
    }
    // Every picture loads by name at its size in the 16 standard colours; a toolbar image is
    // transparent exactly where drawn in silver, an icon around its drawing, a trophy nowhere.
    void pictures()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        static const QList<QRgb> standard{0xff000000, 0xff800000, 0xff008000, 0xff808000, 0xff000080, 0xff800080,
                                          0xff008080, 0xffc0c0c0, 0xff808080, 0xffff0000, 0xff00ff00, 0xffffff00,
                                          0xff0000ff, 0xffff00ff, 0xff00ffff, 0xffffffff};
        const QImage image = argb(name);
        const QImage drawn = QImage(QStringLiteral(":/") + name).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), size);
        if (size.isEmpty())
            return;
        int clear = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                clear += qAlpha(p) == 0;
                QVERIFY2(qAlpha(p) == 0 || standard.contains(p), qPrintable(QStringLiteral("(%1,%2)").arg(x).arg(y)));
                if (name.startsWith(u"TB_"))
                    QCOMPARE(qAlpha(p) == 0, drawn.pixel(x, y) == qRgb(192, 192, 192));
            }
        QVERIFY(name.startsWith(u"TROPHY") ? clear == 0 : clear > 20 && clear < size.width() * size.height() * 4 / 5);
    }

    // TROPHY2 and TROPHY3 are TROPHY1 with a white sparkle at the middle cup's upper left rim,
    // the glint of TROPHY3 the smaller; SNAKE_OUT is SNAKE_IN with a red tongue at the top right.
    void framesDifferOnlyInTheirDetail()
    {
        const QRect rim(43, 0, 22, 28);
        const int sparkle = changedPixels("TROPHY1", "TROPHY2", rim, qRgb(255, 255, 255));
        const int glint = changedPixels("TROPHY1", "TROPHY3", rim, qRgb(255, 255, 255));
        QVERIFY2(glint > 0 && sparkle > glint, qPrintable(QStringLiteral("%1 %2").arg(sparkle).arg(glint)));
        const int tongue = changedPixels("SNAKE_IN", "SNAKE_OUT", QRect(16, 0, 16, 12), qRgb(255, 0, 0));
        QVERIFY2(tongue >= 3 && tongue <= 20, qPrintable(QString::number(tongue)));
    }
};

QUILLORY_TEST_MAIN(tst_Resources)
#include "tst_resources.moc"
