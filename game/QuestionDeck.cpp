#include "game/QuestionDeck.h"

#include "db/DataControl.h"
#include "db/Database.h"
#include "db/QuestionSchema.h"
#include "db/Recordset.h"
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

void Shuffle(DataControl &dat)
{
    std::unique_ptr<Recordset> clone = dat.recordset().Clone();
    std::vector<qint32> order(std::size_t(clone->RecordCount()));
    Random::ShuffleArray<qint32>(order, 1);

    {
        Transaction transaction(clone->database());
        clone->MoveFirst();
        for (const qint32 sortValue : order) {
            clone->Edit();
            clone->SetField(QStringLiteral("Sort"), sortValue);
            clone->Update();
            clone->MoveNext();
        }
        transaction.commit();
    }
    clone->Close();

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
}

bool DrawNext(Recordset &deck, basGame::Testament testament)
{
    if (deck.EOF_())
        return false;
    const int asked = deck.AbsolutePosition();
    deck.MoveNext();
    if (SeekMatch(deck, testament))
        return true;
    deck.SetAbsolutePosition(asked);
    return false;
}

bool DrawFirst(Recordset &deck, basGame::Testament testament)
{
    deck.MoveFirst();
    return SeekMatch(deck, testament);
}
}
