#include "QuestionDeck.h"

#include "Random.h"

#include "../app/DataControl.h"
#include "../app/Database.h"
#include "../app/Recordset.h"

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

bool DrawNext(Recordset &deck, const QString &testament)
{
    deck.MoveNext();
    while (!deck.EOF_()) {
        if (Matches(deck.Field(QStringLiteral("Testament")), testament))
            return true;
        deck.MoveNext();
    }
    deck.MovePrevious();
    return false;
}
}
