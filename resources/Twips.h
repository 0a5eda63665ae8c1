#pragma once

#include <QRect>
#include <QtMath>

// Window layouts are designed in twips (1/1440 inch): 15 twips make one pixel at 96 dots per
// inch. Qt scales pixels for high-DPI screens itself.
namespace Twips {
constexpr int ToPixels(int twips) { return (twips + 7) / 15; }
inline QRect Rect(int left, int top, int width, int height)
{
    return {ToPixels(left), ToPixels(top), ToPixels(width), ToPixels(height)};
}
}
