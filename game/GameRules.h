#pragma once

#include <QtGlobal>

// The scoring and turn rules of a game, free of any window.
namespace GameRules {

inline constexpr qint16 UntimedPoints = 50;

// Points of an answer: nothing for a wrong one; a flat 50 untimed; timed by whole seconds
// taken: 0-3 150, 4-6 100, 7-9 50, 10 or more 25.
qint16 PointsFor(bool correct, bool timed, qint16 seconds);

// Correct / answered x 100 in double precision, rounded half to even (1 of 8 is 12, 3 of 8 is
// 38). Error 6 when the result does not fit; answered must be positive.
qint16 PercentCorrect(qint32 correct, qint32 answered);

// The seat after current: 1 after playerCount.
qint16 NextPlayer(qint16 current, qint16 playerCount);
}
