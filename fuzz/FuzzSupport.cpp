#include "FuzzSupport.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace FuzzSupport {

void init()
{
    // Memory-backed when there is such a folder: the targets write the store and databases often.
    const bool shm = QDir(QStringLiteral("/dev/shm")).exists() && access("/dev/shm", W_OK) == 0;
    TestSupport::initProcess(shm ? QStringLiteral("/dev/shm") : QString());
}

void dropQueuedEvents() { QCoreApplication::removePostedEvents(nullptr); }

QString errorReport(int number, const QString &description)
{
    return QStringLiteral("Error #: ") + QString::number(number) + QChar(u'\r') + description;
}

void fail(const char *rule, const QString &detail)
{
    std::fprintf(stderr, "\n*** rule broken: %s\n*** %s\n", rule, qPrintable(detail));
    std::abort();
}

QMap<QString, QString> keyValues(const uint8_t *data, size_t size)
{
    QMap<QString, QString> values;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        values.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
    }
    return values;
}

Number readNumber(const QString &text)
{
    // Blanks around, a sign, digits with at most one point (at least one digit), an exponent
    // with e, E, d or D. \d would take other scripts' digits: only ASCII ones count.
    static const QRegularExpression form(QRegularExpression::anchoredPattern(
        QStringLiteral(R"([ \t]*([+-]?)([0-9]+\.?[0-9]*|\.[0-9]+)(?:[eEdD]([+-]?[0-9]+))?[ \t]*)")));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return {};
    // from_chars reads neither a leading '+' nor a 'd' exponent.
    QByteArray ascii = (m.captured(1) == u"-" ? QByteArray("-") : QByteArray()) + m.captured(2).toLatin1();
    if (m.capturedLength(3) > 0)
        ascii += 'e' + m.captured(3).toLatin1();
    double value = 0;
    const auto [end, ec] = std::from_chars(ascii.constBegin(), ascii.constEnd(), value);
    if (ec == std::errc() && end == ascii.constEnd())
        return {Number::Value, value};
    if (ec == std::errc::result_out_of_range) {
        // Too large, or so small it reads as zero: the wider type tells which.
        const long double wide = std::strtold(ascii.constData(), nullptr);
        if (std::fabs(wide) >= 1.0L)
            return {Number::Overflow, 0};
        return {Number::Value, ascii.startsWith('-') ? -0.0 : 0.0};
    }
    fail("readNumber: from_chars read the pattern's text", QString::fromLatin1(ascii));
}
}
