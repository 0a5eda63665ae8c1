#pragma once

#include <QColor>

#include <functional>
#include <optional>

class QWidget;

// The colour chooser, opened on a colour; nothing when the user cancels. Tests install a
// handler that answers at once instead of showing the modal dialog.
namespace ColorChooser {
using Handler = std::function<std::optional<QColor>(QWidget *owner, const QColor &initial)>;

std::optional<QColor> choose(QWidget *owner, const QColor &initial);
Handler setHandler(Handler handler);

// Colour settings hold RGB with red in the low byte.
QColor fromSetting(qint32 value);
qint32 toSetting(const QColor &colour);
}
