#pragma once

#include <QGroupBox>

// A frame with its caption set into the top border line, as the game's question and result
// frames are designed: the line runs at half the caption's height, so the contents may start
// just below the caption without the line crossing them. The frame fills itself with the
// palette's window colour and writes its caption in the window text colour.
class CaptionFrame : public QGroupBox
{
    Q_OBJECT

public:
    CaptionFrame(const QString &caption, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};
