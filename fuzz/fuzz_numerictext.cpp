// Numeric text as the settings store holds it: the numeric test agrees with what the
// conversion accepts and with a second, separately written reading; values, rounding half to
// even and the range checks of the integer conversions match the standard library's; numbers
// the program writes read back unchanged. Nothing but error 13 or 6 ever escapes.
#include "FuzzSupport.h"

#include "settings/NumericText.h"
#include "core/RunTimeError.h"

#include <QString>

#include <cfenv>
#include <cmath>
#include <cstring>
#include <limits>

using FuzzSupport::Number;

namespace {
QString show(double v) { return QString::number(v, 'g', 17); }

// Rounding half to even is the floating-point unit's own rounding to nearest.
double nearest(double v) { return std::nearbyint(v); }

bool sameValue(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
}

void checkRounding(double v)
{
    const double r = NumericText::RoundHalfEven(v);
    // Zero's sign does not matter for a whole number; NaN stays NaN.
    FUZZ_CHECK((std::isnan(r) && std::isnan(v)) || r == nearest(v),
               QStringLiteral("RoundHalfEven(%1) = %2, expected %3").arg(show(v), show(r), show(nearest(v))));

    auto convert = [&](auto conversion, double low, double high, const char *name) {
        const double expected = nearest(v);
        const bool fits = expected >= low && expected <= high; // false for NaN
        try {
            const double got = double(conversion(v));
            FUZZ_CHECK(fits && got == expected,
                       QStringLiteral("%1(%2) = %3").arg(QLatin1String(name), show(v), show(got)));
        } catch (const RunTimeError &e) {
            FUZZ_CHECK(!fits && e.number() == Err::Overflow,
                       QStringLiteral("%1(%2) raised %3").arg(QLatin1String(name), show(v)).arg(e.number()));
        }
    };
    convert(NumericText::CInt, -32768.0, 32767.0, "CInt");
    convert(NumericText::CLng, -2147483648.0, 2147483647.0, "CLng");
}

void checkText(const QString &text)
{
    const Number oracle = FuzzSupport::readNumber(text);
    const bool numeric = NumericText::IsNumeric(text);
    FUZZ_CHECK(numeric == (oracle.kind != Number::NotNumeric),
               QStringLiteral("IsNumeric(\"%1\") = %2").arg(text).arg(numeric));

    double value = 0;
    bool converted = false;
    try {
        value = NumericText::ToDouble(text);
        converted = true;
    } catch (const RunTimeError &e) {
        // What the test rejects is a type mismatch; what it accepts fails only by overflow.
        FUZZ_CHECK(e.number() == (numeric ? Err::Overflow : Err::TypeMismatch),
                   QStringLiteral("ToDouble(\"%1\") raised %2, IsNumeric %3").arg(text).arg(e.number()).arg(numeric));
        FUZZ_CHECK(oracle.kind != Number::Value, QStringLiteral("ToDouble(\"%1\") overflowed, expected %2").arg(text, show(oracle.value)));
    }
    if (converted) {
        FUZZ_CHECK(numeric && std::isfinite(value), QStringLiteral("ToDouble(\"%1\") = %2").arg(text, show(value)));
        FUZZ_CHECK(oracle.kind == Number::Value && sameValue(value, oracle.value),
                   QStringLiteral("ToDouble(\"%1\") = %2, expected %3").arg(text, show(value), show(oracle.value)));
        checkRounding(value);
    }

    // The whole-number conversions of text are ToDouble followed by the rounding conversion.
    for (const bool wide : {false, true}) {
        try {
            const qint32 got = wide ? NumericText::TextToInt32(text) : qint32(NumericText::TextToInt16(text));
            FUZZ_CHECK(converted && double(got) == nearest(value),
                       QStringLiteral("TextToInt(\"%1\") = %2").arg(text).arg(got));
        } catch (const RunTimeError &e) {
            const double high = wide ? 2147483647.0 : 32767.0, low = wide ? -2147483648.0 : -32768.0;
            const int expected = !numeric ? Err::TypeMismatch : Err::Overflow;
            FUZZ_CHECK(e.number() == expected && (!converted || !(nearest(value) >= low && nearest(value) <= high)),
                       QStringLiteral("TextToInt(\"%1\") raised %2").arg(text).arg(e.number()));
        }
    }
}

template <class T>
T take(const uint8_t *&data, size_t &size)
{
    T value{};
    const size_t n = std::min(size, sizeof(T));
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The whole input as text, read both as UTF-8 and byte by byte.
    const char *chars = reinterpret_cast<const char *>(data);
    checkText(QString::fromUtf8(chars, qsizetype(size)));
    checkText(QString::fromLatin1(chars, qsizetype(size)));

    // The same bytes as numbers.
    const double v = take<double>(data, size);
    checkRounding(v);
    // Every double written with enough digits reads back as itself (Qt writes a negative zero
    // as "0").
    if (std::isfinite(v))
        FUZZ_CHECK(NumericText::ToDouble(QString::number(v, 'g', 17)) == v, show(v));
    const qint32 i = take<qint32>(data, size);
    FUZZ_CHECK(NumericText::TextToInt32(QString::number(i)) == i, QString::number(i));
    const qint16 a = take<qint16>(data, size), b = take<qint16>(data, size);
    for (const bool add : {true, false}) {
        const int exact = add ? int(a) + int(b) : int(a) - int(b);
        const bool fits = exact >= -32768 && exact <= 32767;
        try {
            const qint16 got = add ? NumericText::Add16(a, b) : NumericText::Sub16(a, b);
            FUZZ_CHECK(fits && got == exact, QStringLiteral("%1 %2 %3 = %4").arg(a).arg(add ? '+' : '-').arg(b).arg(got));
        } catch (const RunTimeError &e) {
            FUZZ_CHECK(!fits && e.number() == Err::Overflow,
                       QStringLiteral("%1 %2 %3 raised %4").arg(a).arg(add ? '+' : '-').arg(b).arg(e.number()));
        }
    }
    return 0;
}
