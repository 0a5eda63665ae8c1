#include "import/CsvReader.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace {
const QString SaveAsUtf8 = QStringLiteral(" Save it from the spreadsheet as \"CSV UTF-8\" and import that file.");

// The offset of the first byte that is not part of well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF); -1 when every byte is.
qsizetype firstBadUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        unsigned char low = 0x80, high = 0xBF; // the range of the second byte
        if (c >= 0xC2 && c <= 0xDF)
            length = 2;
        else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        } else
            return i;
        if (i + length > n || p[i + 1] < low || p[i + 1] > high)
            return i;
        for (int k = 2; k < length; ++k)
            if (p[i + k] < 0x80 || p[i + k] > 0xBF)
                return i;
        i += length;
    }
    return -1;
}

qsizetype lineAt(const QByteArray &bytes, qsizetype offset) { return bytes.left(offset).count('\n') + 1; }

// The separator: of comma, semicolon and tab outside quotes on the first line, the one that
// splits it into the most known names; among equals, the one found most often.
QChar detectSeparator(const QString &text, const QStringList &known)
{
    const QChar candidates[] = {u',', u';', u'\t'};
    int counts[3] = {0, 0, 0};
    QString firstLine;
    bool quoted = false;
    // A header is short: a first line longer than any header is not looked at further.
    for (const QChar c : QStringView(text).left(4096)) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u'\n' || c == u'\r'))
            break;
        else if (!quoted)
            for (int k = 0; k < 3; ++k)
                counts[k] += c == candidates[k];
        firstLine += c;
    }
    int best = 0, bestKnown = -1;
    for (int k = 0; k < 3; ++k) {
        int names = 0;
        for (const QString &cell : firstLine.split(candidates[k]))
            names += known.contains(CsvReader::Folded(QString(cell).remove(u'"')));
        if (names > bestKnown || (names == bestKnown && counts[k] > counts[best])) {
            best = k;
            bestKnown = names;
        }
    }
    return candidates[best];
}
}

QString CsvReader::Folded(const QString &name)
{
    QString out;
    for (const QChar c : name)
        if (!c.isSpace())
            out += c;
    return out.toCaseFolded();
}

CsvReader::Table CsvReader::ReadFile(const QString &path, const QStringList &known)
{
    Table table;
    const QFileInfo info(path);
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        table.error = QStringLiteral("The file '%1' cannot be read.").arg(path);
        return table;
    }
    if (info.size() > MaxFileBytes) {
        table.error = QStringLiteral("The file is too large to import: %1 MB, and a question file may have at most %2 MB."
                                     " Split it into smaller files.")
                          .arg(QLocale::c().toString(double(info.size()) / (1024 * 1024), 'f', 1))
                          .arg(MaxFileBytes / (1024 * 1024));
        return table;
    }
    const QByteArray bytes = file.read(MaxFileBytes + 1);
    if (bytes.size() > MaxFileBytes) { // it grew while it was read
        table.error = QStringLiteral("The file is too large to import.");
        return table;
    }
    return Read(bytes, known);
}

CsvReader::Table CsvReader::Read(const QByteArray &raw, const QStringList &known)
{
    Table table;
    auto fail = [&table](const QString &error) {
        table.error = error;
        table.records.clear();
        return table;
    };
    if (raw.startsWith("\xFF\xFE") || raw.startsWith("\xFE\xFF"))
        return fail(QStringLiteral("The file is UTF-16 text, which cannot be imported.") + SaveAsUtf8);
    const QByteArray bytes = raw.startsWith("\xEF\xBB\xBF") ? raw.mid(3) : raw;
    if (bytes.trimmed().isEmpty())
        return fail(QStringLiteral("The file is empty."));
    if (const qsizetype zero = bytes.indexOf('\0'); zero >= 0)
        return fail(QStringLiteral("The file is not a text file (line %1 holds a zero byte).").arg(lineAt(bytes, zero)));
    if (const qsizetype bad = firstBadUtf8(bytes); bad >= 0)
        return fail(QStringLiteral("The file is not UTF-8 text: line %1 holds bytes that are not UTF-8.").arg(lineAt(bytes, bad))
                    + SaveAsUtf8);
    if (bytes.size() > MaxFileBytes)
        return fail(QStringLiteral("The file is too large to import."));

    const QString text = QString::fromUtf8(bytes);
    const QChar separator = detectSeparator(text, known);
    table.separator = separator;

    // One pass over the text. A quote opens a quoted cell only as the cell's first character;
    // inside one, a doubled quote is a quote. Line breaks are "\r\n", "\n" or "\r".
    const qsizetype n = text.size();
    const QChar *p = text.constData();
    qsizetype line = 1;
    Record record{1, {}};
    QString cell;
    bool hasText = false;
    auto endCell = [&]() -> bool {
        if (record.cells.size() >= MaxCells) {
            table.error = QStringLiteral("Line %1 has more than %2 cells: this is not a question file.").arg(record.line).arg(MaxCells);
            return false;
        }
        hasText = hasText || !cell.trimmed().isEmpty();
        record.cells << cell;
        cell.clear();
        return true;
    };
    auto endRecord = [&]() -> bool {
        if (!endCell())
            return false;
        if (hasText) {
            if (table.records.size() >= MaxRecords) {
                table.error = QStringLiteral("The file has more than %1 rows: split it into smaller files.").arg(MaxRecords);
                return false;
            }
            table.records << record;
        }
        record = Record{line, {}};
        hasText = false;
        return true;
    };
    auto tooLong = [&](qsizetype startLine) {
        return fail(QStringLiteral("A cell starting on line %1 holds more than %2 characters: this is not a question file,"
                                   " or a quotation mark is missing.")
                        .arg(startLine)
                        .arg(MaxCellLength));
    };

    for (qsizetype i = 0; i < n;) {
        if (p[i] == u'"' && cell.isEmpty()) {
            // A quoted cell, up to its closing quote.
            const qsizetype opened = line;
            ++i;
            for (;;) {
                if (i >= n)
                    return fail(QStringLiteral("A quotation mark opened on line %1 is never closed.").arg(opened));
                if (p[i] == u'"') {
                    if (i + 1 < n && p[i + 1] == u'"') {
                        cell += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (p[i] == u'\n' || (p[i] == u'\r' && !(i + 1 < n && p[i + 1] == u'\n')))
                    ++line;
                cell += p[i++];
                if (cell.size() > MaxCellLength)
                    return tooLong(opened);
            }
            // Text after the closing quote belongs to the same cell, as spreadsheets read it.
            continue;
        }
        if (p[i] == separator) {
            if (!endCell())
                return fail(table.error);
            ++i;
            continue;
        }
        if (p[i] == u'\n' || p[i] == u'\r') {
            i += (p[i] == u'\r' && i + 1 < n && p[i + 1] == u'\n') ? 2 : 1;
            ++line;
            if (!endRecord())
                return fail(table.error);
            continue;
        }
        cell += p[i++];
        if (cell.size() > MaxCellLength)
            return tooLong(line);
    }
    if ((!cell.isEmpty() || !record.cells.isEmpty()) && !endRecord())
        return fail(table.error);
    return table;
}
