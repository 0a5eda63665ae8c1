#include "app/ZoomLayout.h"

#include <QLabel>
#include <QWidget>

#include <cmath>

int ZoomLayout::scaled(int design, qreal factor) { return int(std::lround(design * factor)); }

QRect ZoomLayout::scaled(const QRect &design, qreal factor)
{
    // Edges are scaled, not sizes, so neighbours that touch at 100% still touch.
    const int left = scaled(design.left(), factor), top = scaled(design.top(), factor);
    return {left, top, scaled(design.left() + design.width(), factor) - left,
            scaled(design.top() + design.height(), factor) - top};
}

QFont ZoomLayout::scaled(QFont font, qreal factor)
{
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    else if (font.pixelSize() > 0)
        font.setPixelSize(scaled(font.pixelSize(), factor));
    return font;
}

void ZoomLayout::place(QWidget *widget, const QRect &design)
{
    m_controls << Control{widget, design, widget->font()};
    widget->setGeometry(scaled(design, m_factor));
}

void ZoomLayout::font(QWidget *widget)
{
    for (Control &c : m_controls)
        if (c.widget == widget) {
            c.font = widget->font();
            return;
        }
    m_controls << Control{widget, {}, widget->font()};
}

void ZoomLayout::picture(QLabel *label, const QPixmap &design)
{
    m_pictures << Picture{label, design};
    label->setPixmap(design);
}

void ZoomLayout::apply(qreal factor)
{
    m_factor = factor;
    for (const Control &c : std::as_const(m_controls)) {
        if (!c.widget)
            continue;
        c.widget->setFont(scaled(c.font, factor));
        if (!c.design.isNull())
            c.widget->setGeometry(scaled(c.design, factor));
    }
    for (const Picture &p : std::as_const(m_pictures))
        if (p.label)
            p.label->setPixmap(factor == 1.0 ? p.design
                                             : p.design.scaled(p.design.size() * factor, Qt::KeepAspectRatio,
                                                               Qt::SmoothTransformation));
}
