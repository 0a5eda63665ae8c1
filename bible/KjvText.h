#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// The King James text (public domain), one verse a line: book, testament, chapter, verse, text
// (with a header row), read from a .tsv or a gzip-compressed .tsv.gz file. It checks the bank's
// references and imported questions, and shows the passage of a question after its answer.
class KjvText
{
public:
    // Error text in *error when the file cannot be read or holds no verses.
    static std::optional<KjvText> load(const QString &path, QString *error);

    struct Verse
    {
        int chapter = 0;
        int verse = 0;
        QString text;
    };
    struct Passage
    {
        QString book;      // canonical book name
        QString testament; // "OT" or "NT"
        QString text;      // the verses joined by blanks
        int verseCount = 0;
        QList<Verse> verses;
    };

    // Resolves "Book C:V", "Book C:V-W", "Book C:V-C2:W" or a whole chapter "Book C" ("Psalm" is
    // taken for "Psalms"; book names in any letter case). Returns nothing and the reason in plain
    // words in *error when the reference is malformed, names no book, or a chapter or verse the
    // book does not have.
    std::optional<Passage> passage(const QString &reference, QString *error) const;

    // The canonical name of a book ("1 samuel" and "Psalm" are found too); empty when none.
    QString bookNamed(const QString &name) const;

    const QStringList &books() const { return m_books; }
    QString testamentOf(const QString &book) const { return m_testament.value(book); }

private:
    static quint64 key(int bookIndex, int chapter, int verse)
    {
        return (quint64(bookIndex) << 32) | (quint64(chapter) << 16) | quint64(verse);
    }
    QStringList m_books;
    QHash<QString, int> m_bookIndex;
    QHash<QString, QString> m_bookByFoldedName;
    QHash<quint64, int> m_chapterLength; // key(book, chapter, 0): the chapter's last verse
    QHash<QString, QString> m_testament;
    QHash<quint64, QString> m_verses;
};
