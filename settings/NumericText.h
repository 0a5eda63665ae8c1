#pragma once

#include <QString>
#include <QtGlobal>

// Numbers as the settings store holds them: text, converted with the Basic rules.
namespace NumericText {

// The numeric-text test used for stored settings and scores. A text is numeric when, after
// optional leading and trailing blanks (spaces or tabs), it is: an optional sign (+ or -),
// decimal digits with at most one decimal point and at least one digit, and optionally an
// exponent: 'e' or 'E' (also 'd' or 'D'), an optional sign and at least one digit.
// Nothing else is numeric: no thousands separators, no hexadecimal, no "inf" or "nan".
bool IsNumeric(const QString &text);

// The value of a numeric text; error 13 (type mismatch) when the text is not numeric,
// error 6 (overflow) when it is beyond the range of a double.
double ToDouble(const QString &text);

// Rounds to the nearest whole number, an exact half going to the even neighbour.
double RoundHalfEven(double value);

// Conversion to a 16-bit or 32-bit integer: rounded half to even, error 6 when out of range.
qint16 CInt(double value);
qint32 CLng(double value);

// Text straight to an integer: error 13 for non-numeric text (empty included), error 6 when
// the rounded value does not fit.
qint16 TextToInt16(const QString &text);
qint32 TextToInt32(const QString &text);

// Signed arithmetic with overflow checking (error 6).
qint16 Add16(qint16 a, qint16 b);
qint32 Add32(qint32 a, qint32 b);
qint16 Sub16(qint16 a, qint16 b);
}
