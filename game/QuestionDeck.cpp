#include "game/QuestionDeck.h"

#include "core/Progress.h"
#include "core/RunTimeError.h"
#include "db/DataControl.h"
#include "db/Database.h"
#include "db/QuestionSchema.h"
#include "db/Recordset.h"
#include "db/Statement.h"
#include "game/DeckFilter.h"
#include "game/Random.h"

#include <vector>

namespace QuestionDeck {

QString ShuffledRecordSource()
{
    QString sql = QStringLiteral("select *");
    sql += QStringLiteral(" from ") + QuestionSchema::TableName();
    sql += QStringLiteral(" order by Sort");
    return sql;
}

void Shuffle(DataControl &dat, Progress *progress)
{
    const Recordset &deck = dat.recordset();
    if (!deck.fieldNames().contains(QStringLiteral("Sort"), Qt::CaseInsensitive))
        throw RunTimeError(Err::FieldNotFound, QStringLiteral("The table '%1' has no field 'Sort'.").arg(deck.table()));
    Database &db = deck.database();
    // The shuffle reads and writes every page of the table, and the deck then reads them again
    // in its new order: a cache that holds the whole table (up to 64 MB) reads each page from
    // the file once.
    db.setCacheSize(64 * 1024);
    {
        Transaction transaction(db);
        QuestionSchema::Upgrade(db);
        // The rows as the table holds them now (an import may have added some since the deck
        // was opened); they get the permutation in the order of their ids, in one sweep that
        // writes each page once, instead of row by row in the deck's last random order.
        qint64 rows = 0;
        {
            Statement count(db.handle(), QStringLiteral("SELECT count(*) FROM %1").arg(Database::quoted(deck.table())));
            if (count.step())
                rows = count.int64(0);
        }
        std::vector<qint32> order(static_cast<std::size_t>(rows));
        Random::ShuffleArray<qint32>(order, 1);
        // The one statement tells the progress window now and then that it is still at work.
        const QString doing = QStringLiteral("Shuffling the questions");
        if (progress)
            db.setProgressHandler([progress, &doing] { progress->step(doing, 0, 0); });
        try {
            db.writeInRowOrder(deck.table(), QStringLiteral("Sort"), order);
        } catch (...) {
            db.setProgressHandler({});
            throw;
        }
        db.setProgressHandler({});
        Progress::step(progress, doing, rows, rows);
        transaction.commit();
    }

    dat.RecordSource = ShuffledRecordSource();
    dat.Refresh();

}

bool Matches(const QVariant &rowTestament, basGame::Testament choice)
{
    if (choice == basGame::Testament::Both)
        return true;
    return !rowTestament.isNull() && rowTestament.toString() == basGame::TestamentCode(choice);
}

namespace {
// From the cursor on, the first matching row; false at the end of the deck.
bool SeekMatch(Recordset &deck, basGame::Testament testament)
{
    // "Both" takes every row without reading its tag.
    for (; !deck.EOF_(); deck.MoveNext())
        if (testament == basGame::Testament::Both || Matches(deck.Field(QStringLiteral("Testament")), testament))
            return true;
    return false;
}

// With a filter the rows' tags are known already: the first position from `from` on whose row
// plays, found without moving the cursor over the rows in between; -1 when there is none.
int NextAdmitted(const Recordset &deck, int from, basGame::Testament testament, const DeckFilter &filter)
{
    for (int position = from; position < deck.RecordCount(); ++position)
        if (filter.admits(deck.KeyAt(position), testament))
            return position;
    return -1;
}
}

bool DrawNext(Recordset &deck, basGame::Testament testament, const DeckFilter *filter)
{
    if (deck.EOF_())
        return false;
    const int asked = deck.AbsolutePosition();
    if (filter) {
        const int next = NextAdmitted(deck, asked + 1, testament, *filter);
        if (next >= 0)
            deck.SetAbsolutePosition(next);
        return next >= 0;
    }
    deck.MoveNext();
    if (SeekMatch(deck, testament))
        return true;
    deck.SetAbsolutePosition(asked);
    return false;
}

bool DrawFirst(Recordset &deck, basGame::Testament testament, const DeckFilter *filter)
{
    if (filter) {
        if (const int first = NextAdmitted(deck, 0, testament, *filter); first >= 0) {
            deck.SetAbsolutePosition(first);
            return true;
        }
        deck.MoveLast(); // and past it, as a deck with no match ends
        if (!deck.EOF_())
            deck.MoveNext();
        return false;
    }
    deck.MoveFirst();
    return SeekMatch(deck, testament);
}
}
