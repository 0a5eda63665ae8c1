#include "bible/BibleBooks.h"

#include <QHash>

namespace BibleBooks {
namespace {
const char *const OldTestament[] = {
    "Genesis", "Exodus", "Leviticus", "Numbers", "Deuteronomy", "Joshua", "Judges", "Ruth", "1 Samuel", "2 Samuel",
    "1 Kings", "2 Kings", "1 Chronicles", "2 Chronicles", "Ezra", "Nehemiah", "Esther", "Job", "Psalms", "Proverbs",
    "Ecclesiastes", "Song of Solomon", "Isaiah", "Jeremiah", "Lamentations", "Ezekiel", "Daniel", "Hosea", "Joel", "Amos",
    "Obadiah", "Jonah", "Micah", "Nahum", "Habakkuk", "Zephaniah", "Haggai", "Zechariah", "Malachi"};
const char *const NewTestament[] = {
    "Matthew", "Mark", "Luke", "John", "Acts", "Romans", "1 Corinthians", "2 Corinthians", "Galatians", "Ephesians",
    "Philippians", "Colossians", "1 Thessalonians", "2 Thessalonians", "1 Timothy", "2 Timothy", "Titus", "Philemon",
    "Hebrews", "James", "1 Peter", "2 Peter", "1 John", "2 John", "3 John", "Jude", "Revelation"};

const QHash<QString, QString> &byFoldedName()
{
    static const QHash<QString, QString> names = [] {
        QHash<QString, QString> out;
        for (const Book &b : All())
            out.insert(b.name.toCaseFolded(), b.name);
        out.insert(QStringLiteral("psalm"), QStringLiteral("Psalms"));
        return out;
    }();
    return names;
}
}

const QList<Book> &All()
{
    static const QList<Book> books = [] {
        QList<Book> out;
        for (const char *name : OldTestament)
            out << Book{QString::fromLatin1(name), QStringLiteral("OT")};
        for (const char *name : NewTestament)
            out << Book{QString::fromLatin1(name), QStringLiteral("NT")};
        return out;
    }();
    return books;
}

QStringList Names(const QString &testament)
{
    QStringList out;
    for (const Book &b : All())
        if (b.testament == testament)
            out << b.name;
    return out;
}

QString Named(const QString &name) { return byFoldedName().value(name.simplified().toCaseFolded()); }

QString OfReference(const QString &reference)
{
    // The name runs up to the blank before the chapter number: the last run of digits before
    // the first colon (or the end).
    const QString text = reference.trimmed();
    qsizetype end = text.indexOf(u':');
    if (end < 0)
        end = text.size();
    qsizetype start = end;
    while (start > 0 && text[start - 1].isDigit())
        --start;
    if (start == end || start == 0 || !text[start - 1].isSpace())
        return {};
    return Named(text.left(start - 1));
}
}
