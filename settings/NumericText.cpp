#include "settings/NumericText.h"

#include "core/RunTimeError.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace NumericText {
namespace {
bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Returns the text in the form strtod reads ("+12.5e3"), or an empty string if not numeric.
QByteArray normalised(const QString &text)
{
    qsizetype i = 0, end = text.size();
    while (i < end && isBlank(text[i]))
        ++i;
    while (end > i && isBlank(text[end - 1]))
        --end;
    QByteArray out;
    if (i < end && (text[i] == u'+' || text[i] == u'-'))
        out += char(text[i++].unicode());
    int digits = 0;
    bool point = false;
    for (; i < end; ++i) {
        const QChar c = text[i];
        if (isDigit(c)) {
            ++digits;
            out += char(c.unicode());
        } else if (c == u'.' && !point) {
            point = true;
            out += '.';
        } else {
            break;
        }
    }
    if (digits == 0)
        return {};
    if (i < end && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        out += 'e';
        ++i;
        if (i < end && (text[i] == u'+' || text[i] == u'-'))
            out += char(text[i++].unicode());
        int expDigits = 0;
        for (; i < end && isDigit(text[i]); ++i, ++expDigits)
            out += char(text[i].unicode());
        if (expDigits == 0)
            return {};
    }
    return i == end ? out : QByteArray();
}
}

bool IsNumeric(const QString &text) { return !normalised(text).isEmpty(); }

double ToDouble(const QString &text)
{
    const QByteArray n = normalised(text);
    if (n.isEmpty())
        throw RunTimeError::standard(Err::TypeMismatch);
    errno = 0;
    const double value = std::strtod(n.constData(), nullptr);
    if (!std::isfinite(value) || (errno == ERANGE && std::abs(value) > 1.0))
        throw RunTimeError::standard(Err::Overflow);
    return value;
}

double RoundHalfEven(double value)
{
    const double down = std::floor(value);
    const double diff = value - down;
    if (diff < 0.5)
        return down;
    if (diff > 0.5)
        return down + 1.0;
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
}

qint16 CInt(double value)
{
    const double r = RoundHalfEven(value);
    if (!(r >= std::numeric_limits<qint16>::min() && r <= std::numeric_limits<qint16>::max()))
        throw RunTimeError::standard(Err::Overflow);
    return static_cast<qint16>(r);
}

qint32 CLng(double value)
{
    const double r = RoundHalfEven(value);
    if (!(r >= std::numeric_limits<qint32>::min() && r <= std::numeric_limits<qint32>::max()))
        throw RunTimeError::standard(Err::Overflow);
    return static_cast<qint32>(r);
}

qint16 TextToInt16(const QString &text) { return CInt(ToDouble(text)); }
qint32 TextToInt32(const QString &text) { return CLng(ToDouble(text)); }

qint16 Add16(qint16 a, qint16 b)
{
    const int sum = int(a) + int(b);
    if (sum < std::numeric_limits<qint16>::min() || sum > std::numeric_limits<qint16>::max())
        throw RunTimeError::standard(Err::Overflow);
    return static_cast<qint16>(sum);
}

qint32 Add32(qint32 a, qint32 b)
{
    qint32 sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        throw RunTimeError::standard(Err::Overflow);
    return sum;
}

qint16 Sub16(qint16 a, qint16 b) { return CInt(double(a) - double(b)); }
}
