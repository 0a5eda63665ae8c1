#include "bible/KjvText.h"

#include <QFile>
#include <QRegularExpression>

#include <zlib.h>

namespace {
QByteArray readGzip(const QString &path, bool *ok)
{
    QByteArray out;
    *ok = false;
    gzFile file = gzopen(QFile::encodeName(path).constData(), "rb");
    if (!file)
        return out;
    char buffer[65536];
    int n;
    while ((n = gzread(file, buffer, sizeof buffer)) > 0)
        out.append(buffer, n);
    *ok = n == 0;
    gzclose(file);
    return out;
}
}

std::optional<KjvText> KjvText::load(const QString &path, QString *error)
{
    QByteArray data;
    bool ok = false;
    if (path.endsWith(QLatin1String(".gz"))) {
        data = readGzip(path, &ok);
    } else {
        QFile file(path);
        ok = file.open(QIODevice::ReadOnly);
        if (ok)
            data = file.readAll();
    }
    if (!ok) {
        *error = QStringLiteral("cannot read the King James text '%1'").arg(path);
        return std::nullopt;
    }
    KjvText kjv;
    const QList<QByteArray> lines = data.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> f = lines[i].split('\t');
        if (f.size() < 5)
            continue;
        const QString book = QString::fromUtf8(f[0]);
        if (!kjv.m_bookIndex.contains(book)) {
            kjv.m_bookIndex.insert(book, int(kjv.m_books.size()));
            kjv.m_books << book;
            kjv.m_testament.insert(book, QString::fromUtf8(f[1]));
            kjv.m_bookByFoldedName.insert(book.toCaseFolded(), book);
        }
        const int b = kjv.m_bookIndex.value(book), chapter = f[2].toInt(), verse = f[3].toInt();
        kjv.m_verses.insert(key(b, chapter, verse), QString::fromUtf8(f[4]).trimmed());
        int &last = kjv.m_chapterLength[key(b, chapter, 0)];
        last = std::max(last, verse);
    }
    if (kjv.m_verses.isEmpty()) {
        *error = QStringLiteral("the King James text '%1' holds no verses").arg(path);
        return std::nullopt;
    }
    return kjv;
}

QString KjvText::bookNamed(const QString &name) const
{
    const QString folded = name.simplified().toCaseFolded();
    return m_bookByFoldedName.value(folded == u"psalm" ? QStringLiteral("psalms") : folded);
}

std::optional<KjvText::Passage> KjvText::passage(const QString &reference, QString *error) const
{
    static const QRegularExpression form(
        QStringLiteral(R"(^([1-3]? ?[A-Za-z][A-Za-z ]*?) (\d{1,3})(?::(\d{1,3})(?:-(?:(\d{1,3}):)?(\d{1,3}))?)?$)"));
    const auto m = form.match(reference.simplified());
    if (!m.hasMatch()) {
        *error = QStringLiteral("reference '%1' is not of the form 'Book C:V', 'Book C:V-W' or 'Book C:V-C:W'").arg(reference);
        return std::nullopt;
    }
    const QString book = bookNamed(m.captured(1));
    if (book.isEmpty()) {
        *error = QStringLiteral("reference '%1' names no book of the Bible").arg(reference);
        return std::nullopt;
    }
    const int b = m_bookIndex.value(book);
    const int c1 = m.captured(2).toInt();
    const bool wholeChapter = m.captured(3).isEmpty();
    const int v1 = wholeChapter ? 1 : m.captured(3).toInt();
    const int c2 = m.captured(4).isEmpty() ? c1 : m.captured(4).toInt();
    const int v2 = wholeChapter ? m_chapterLength.value(key(b, c1, 0)) : m.captured(5).isEmpty() ? v1 : m.captured(5).toInt();
    for (const auto &[c, v] : {std::pair{c1, v1}, std::pair{c2, v2}}) {
        if (!m_chapterLength.contains(key(b, c, 0))) {
            *error = QStringLiteral("reference '%1': %2 has no chapter %3").arg(reference, book).arg(c);
            return std::nullopt;
        }
        if (!m_verses.contains(key(b, c, v))) {
            *error = QStringLiteral("reference '%1': %2 %3 has no verse %4").arg(reference, book).arg(c).arg(v);
            return std::nullopt;
        }
    }
    if (std::make_pair(c2, v2) < std::make_pair(c1, v1)) {
        *error = QStringLiteral("reference '%1' ends before it starts").arg(reference);
        return std::nullopt;
    }
    Passage p{book, m_testament.value(book), {}, 0, {}};
    for (int c = c1; c <= c2; ++c) {
        for (int v = (c == c1 ? v1 : 1);; ++v) {
            if (c == c2 && v > v2)
                break;
            const auto it = m_verses.constFind(key(b, c, v));
            if (it == m_verses.constEnd())
                break;
            if (!p.text.isEmpty())
                p.text += u' ';
            p.text += *it;
            ++p.verseCount;
            p.verses << Verse{c, v, *it};
        }
    }
    return p;
}
