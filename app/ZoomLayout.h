#pragma once

#include <QFont>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QRect>

class QLabel;
class QWidget;

// The main window's controls as designed, and the same at a zoom: each control keeps its designed
// geometry (pixels at 100%) and font, each picture its designed pixmap. At 100% everything is
// exactly as designed; at any other zoom every geometry, font and picture is scaled by the same
// factor, pictures smoothly.
class ZoomLayout
{
public:
    // Records a control's geometry and its present font, and places it.
    void place(QWidget *widget, const QRect &design);
    // Records a control's present font (its geometry is looked after elsewhere when the control
    // was not placed here); a control recorded before keeps its geometry and takes this font.
    void font(QWidget *widget);
    // Records a picture shown at its design size at 100%.
    void picture(QLabel *label, const QPixmap &design);

    // Applies a factor (1.0 = as designed) to everything recorded.
    void apply(qreal factor);
    qreal factor() const { return m_factor; }

    static QRect scaled(const QRect &design, qreal factor);
    static int scaled(int design, qreal factor);
    static QFont scaled(QFont font, qreal factor);

private:
    struct Control
    {
        QPointer<QWidget> widget;
        QRect design; // null: the geometry is not ours
        QFont font;
    };
    struct Picture
    {
        QPointer<QLabel> label;
        QPixmap design;
    };
    QList<Control> m_controls;
    QList<Picture> m_pictures;
    qreal m_factor = 1.0;
};
