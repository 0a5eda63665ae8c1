#include "UpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

UpDown::UpDown(QLineEdit *buddy, int minimum, int maximum, QWidget *parent)
    : QWidget(parent), m_buddy(buddy), m_minimum(minimum), m_maximum(maximum), m_value(minimum)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_up = new QToolButton(this);
    m_up->setArrowType(Qt::UpArrow);
    m_up->setAccessibleName(QStringLiteral("More players"));
    m_down = new QToolButton(this);
    m_down->setArrowType(Qt::DownArrow);
    m_down->setAccessibleName(QStringLiteral("Fewer players"));
    for (QToolButton *b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(b);
    }
    setFocusPolicy(Qt::TabFocus);
    connect(m_up, &QToolButton::clicked, this, &UpDown::stepUp);
    connect(m_down, &QToolButton::clicked, this, &UpDown::stepDown);
    connect(m_buddy, &QLineEdit::textChanged, this, &UpDown::followBuddy);
    followBuddy(m_buddy->text());
}

void UpDown::stepUp() { step(+1); }
void UpDown::stepDown() { step(-1); }

void UpDown::step(int delta)
{
    m_value = std::clamp(m_value + delta, m_minimum, m_maximum);
    m_buddy->setText(QString::number(m_value));
}

void UpDown::followBuddy(const QString &text)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (ok)
        m_value = std::clamp(v, m_minimum, m_maximum);
}

void UpDown::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Up)
        stepUp();
    else if (event->key() == Qt::Key_Down)
        stepDown();
    else
        QWidget::keyPressEvent(event);
}
