#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// A spin control bound to a one-digit edit box (its buddy): the arrows step the buddy's
// number by one within a range, writing the new value into the buddy's text. Screen readers
// see it as a spin box with the buddy's accessible name and its number as the value.
class UpDown : public QWidget
{
    Q_OBJECT

public:
    UpDown(QLineEdit *buddy, int minimum, int maximum, QWidget *parent);

    int value() const { return m_value; }
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    QLineEdit *buddy() const { return m_buddy; }
    void stepUp();
    void stepDown();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void step(int delta);
    void followBuddy(const QString &text);

    QLineEdit *m_buddy;
    int m_minimum;
    int m_maximum;
    int m_value;
    QToolButton *m_up;
    QToolButton *m_down;
};
