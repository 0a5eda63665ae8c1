#include "app/CaptionFrame.h"

#include <QPainter>

CaptionFrame::CaptionFrame(const QString &caption, QWidget *parent) : QGroupBox(caption, parent)
{
    setAutoFillBackground(true);
}

void CaptionFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.height() / 2;
    // An etched line: dark, with a light one below and to the right of it.
    const QRect box = rect().adjusted(0, line, -2, -2);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(box.translated(1, 1));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(box);
    // The caption on the line, over the window colour.
    const QString caption = title();
    if (caption.isEmpty())
        return;
    const QRect text(8, 0, metrics.horizontalAdvance(caption) + 4, metrics.height());
    painter.fillRect(text, palette().color(QPalette::Window));
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(text, Qt::AlignCenter, caption);
}
