#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// The King James text, one verse a line: book, testament, chapter, verse, text (with a header
// row), read from a .tsv or a gzip-compressed .tsv.gz file.
class KjvText
{
public:
    // Error text in *error when the file cannot be read or holds no verses.
    static std::optional<KjvText> load(const QString &path, QString *error);

    struct Passage
    {
        QString book;      // canonical book name
        QString testament; // "OT" or "NT"
        QString text;      // the verses joined by blanks
        int verseCount = 0;
    };

    // Resolves "Book C:V", "Book C:V-W" or "Book C:V-C2:W" ("Psalm" is taken for "Psalms").
    // Returns nothing and a reason in *error when the reference is malformed or not in the text.
    std::optional<Passage> passage(const QString &reference, QString *error) const;

    const QStringList &books() const { return m_books; }
    QString testamentOf(const QString &book) const { return m_testament.value(book); }

private:
    static quint64 key(int bookIndex, int chapter, int verse)
    {
        return (quint64(bookIndex) << 32) | (quint64(chapter) << 16) | quint64(verse);
    }
    QStringList m_books;
    QHash<QString, int> m_bookIndex;
    QHash<QString, QString> m_testament;
    QHash<quint64, QString> m_verses;
};
