#include "options/UpDown.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
class AccessibleUpDown : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit AccessibleUpDown(UpDown *upDown) : QAccessibleWidget(upDown, QAccessible::SpinBox) {}

    UpDown *upDown() const { return static_cast<UpDown *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && upDown()->accessibleName().isEmpty())
            return upDown()->buddy()->accessibleName();
        if (t == QAccessible::Value)
            return QString::number(upDown()->value());
        return QAccessibleWidget::text(t);
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface *>(this)
                                                   : QAccessibleWidget::interface_cast(type);
    }
    QVariant currentValue() const override { return upDown()->value(); }
    void setCurrentValue(const QVariant &value) override
    {
        upDown()->buddy()->setText(QString::number(std::clamp(value.toInt(), upDown()->minimum(), upDown()->maximum())));
    }
    QVariant maximumValue() const override { return upDown()->maximum(); }
    QVariant minimumValue() const override { return upDown()->minimum(); }
    QVariant minimumStepSize() const override { return 1; }
};

QAccessibleInterface *accessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("UpDown") && object && object->isWidgetType())
        return new AccessibleUpDown(static_cast<UpDown *>(object));
    return nullptr;
}
}

UpDown::UpDown(QLineEdit *buddy, int minimum, int maximum, QWidget *parent)
    : QWidget(parent), m_buddy(buddy), m_minimum(minimum), m_maximum(maximum), m_value(minimum)
{
    static const bool installed = (QAccessible::installFactory(accessibleFactory), true);
    Q_UNUSED(installed);
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
    if (!ok || std::clamp(v, m_minimum, m_maximum) == m_value)
        return;
    m_value = std::clamp(v, m_minimum, m_maximum);
    QAccessibleValueChangeEvent event(this, m_value);
    QAccessible::updateAccessibility(&event);
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
