#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The 66 books of the Bible in their order, with the names the King James text and the
// question bank use. The game needs them without loading the whole text: to choose the books
// to play, and to tell the book of a question from its reference.
namespace BibleBooks {

struct Book
{
    QString name;
    QString testament; // "OT" or "NT"
};

const QList<Book> &All();
QStringList Names(const QString &testament); // the books of "OT" or "NT", in order

// The book's name as listed, for a name in any letter case ("psalm" is taken for "Psalms");
// empty when there is no such book.
QString Named(const QString &name);

// The book a reference names, by the name before its chapter number ("1 samuel 17:49" gives
// "1 Samuel", "Psalm 23" gives "Psalms"); empty when it names none.
QString OfReference(const QString &reference);
}
