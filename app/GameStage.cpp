#include "app/GameStage.h"

GameStage::GameStage(QWidget *parent, QWidget *area, QWidget *below) : QWidget(parent), m_area(area), m_below(below)
{
    setAutoFillBackground(true);
    area->setParent(this);
    below->setParent(this);
}

QSize GameStage::contentSize() const
{
    QSize size = m_area->size();
    if (!m_below->isHidden())
        size.rheight() += m_below->height();
    return size;
}

void GameStage::relayout()
{
    const QSize content = contentSize();
    const QPoint origin((width() - content.width()) / 2, std::max(0, (height() - content.height()) / 2));
    m_area->move(origin);
    m_below->setGeometry(origin.x(), origin.y() + m_area->height(), m_area->width(), m_below->height());
}

void GameStage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}
