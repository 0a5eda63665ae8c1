#pragma once

#include <QWidget>

// The main window's central area: the game area, and under it the passage panel while that is
// shown. In a window it is just their size; in full screen it fills the screen in the window
// colour, with the two centred on it.
class GameStage : public QWidget
{
    Q_OBJECT

public:
    GameStage(QWidget *parent, QWidget *area, QWidget *below);

    // The room the area and, when shown, the panel below it take together.
    QSize contentSize() const;
    // Lays the two out again (after a zoom, or the panel shown or hidden).
    void relayout();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *m_area;
    QWidget *m_below;
};
