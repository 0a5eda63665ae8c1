#include "options/ColorChooser.h"

#include <QColorDialog>

namespace ColorChooser {
namespace {
Handler &current()
{
    static Handler handler;
    return handler;
}
}

std::optional<QColor> choose(QWidget *owner, const QColor &initial)
{
    if (const Handler &handler = current())
        return handler(owner, initial);
    const QColor chosen = QColorDialog::getColor(initial, owner, QStringLiteral("Color"));
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

Handler setHandler(Handler handler)
{
    Handler previous = std::move(current());
    current() = std::move(handler);
    return previous;
}

QColor fromSetting(qint32 value)
{
    const auto v = quint32(value);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

qint32 toSetting(const QColor &colour)
{
    return qint32(colour.red()) | (qint32(colour.green()) << 8) | (qint32(colour.blue()) << 16);
}
}
