#include "resources/Resources.h"

#include <QBitmap>
#include <QColor>
#include <QFont>
#include <QString>

// Q_INIT_RESOURCE declares the registration function where it is used, so it has to be used
// outside any namespace.
static void registerPictures()
{
    Q_INIT_RESOURCE(quillory);
}

namespace Resources {

namespace {
// The toolbar images are drawn on silver, which stands for "no paint".
const QColor ToolbarGround(192, 192, 192);
}

void init()
{
    static const bool registered = [] {
        registerPictures();
        // The windows are designed in "MS Sans Serif"; the closest sans font installed stands in.
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
        return true;
    }();
    Q_UNUSED(registered);
}

QPixmap picture(const QString &name)
{
    init();
    QPixmap pixmap(QStringLiteral(":/") + name);
    if (!pixmap.isNull() && name.startsWith(QLatin1String("TB_")))
        pixmap.setMask(pixmap.createMaskFromColor(ToolbarGround, Qt::MaskInColor));
    return pixmap;
}

QIcon appIcon()
{
    return QIcon(picture(QStringLiteral("APP_ICON")));
}
}
