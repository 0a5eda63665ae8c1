#include "game/GameRules.h"

#include "settings/NumericText.h"

namespace GameRules {

qint16 PointsFor(bool correct, bool timed, qint16 seconds)
{
    if (!correct)
        return 0;
    if (!timed)
        return UntimedPoints;
    if (seconds <= 3)
        return 150;
    if (seconds <= 6)
        return 100;
    if (seconds <= 9)
        return 50;
    return 25;
}

qint16 PercentCorrect(qint32 correct, qint32 answered)
{
    const double quotient = double(correct) / double(answered);
    return NumericText::CInt(quotient * 100.0);
}

qint16 NextPlayer(qint16 current, qint16 playerCount)
{
    return current < playerCount ? qint16(current + 1) : qint16(1);
}
}
