#include "game/QuestionDeck.h"

#include "game/Random.h"

#include "db/DataControl.h"
#include "db/Database.h"
#include "db/Recordset.h"

#include <vector>

namespace QuestionDeck {

QString ShuffledRecordSource()
{
    QString sql = QStringLiteral("select *");
    sql += QStringLiteral(" from tblQuillory");
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

bool Matches(const QVariant &rowTestament, const QString &setting)
{
    if (setting == u"BT")
        return true;
    return !rowTestament.isNull() && rowTestament.toString() == setting;
}

namespace {
// From the cursor on, the first matching row; false at the end of the deck.
bool SeekMatch(Recordset &deck, const QString &testament)
{
    // "Both" takes every row without reading its tag.
    for (; !deck.EOF_(); deck.MoveNext())
        if (testament == u"BT" || Matches(deck.Field(QStringLiteral("Testament")), testament))
            return true;
    return false;
}
}

bool DrawNext(Recordset &deck, const QString &testament)
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

bool DrawFirst(Recordset &deck, const QString &testament)
{
    deck.MoveFirst();
    return SeekMatch(deck, testament);
}
}
