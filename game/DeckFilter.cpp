#include "game/DeckFilter.h"

#include "bible/BibleBooks.h"
#include "core/Progress.h"
#include "db/Database.h"
#include "db/QuestionSchema.h"
#include "db/Statement.h"

DeckFilter DeckFilter::Build(Database &db, const QuestionChoice::Choice &choice, Progress *progress)
{
    // A column the table lacks reads as Null, as a missing field reads for the deck.
    const QStringList columns = db.columns(QuestionSchema::TableName());
    auto column = [&columns](const QString &name) {
        return columns.contains(name, Qt::CaseInsensitive) ? name : QStringLiteral("NULL");
    };
    // Sets and difficulty are chosen by the engine; a row's book is told from its reference,
    // which is read only when books are chosen. The tag is the testament rule of the deck
    // (QuestionDeck::Matches): the text "OT" or "NT" exactly, anything else (Null too) neither.
    QStringList where;
    QVariantList values;
    if (!choice.leftOutSets.isEmpty()) {
        QStringList marks;
        for (const QString &set : choice.leftOutSets) {
            values << set;
            marks << QStringLiteral("?%1").arg(values.size());
        }
        where << QStringLiteral("%1 NOT IN (%2)").arg(QuestionSchema::SetExpression(db), marks.join(u','));
    }
    if (choice.difficulty != QuestionChoice::Difficulty::Any) {
        values << int(choice.difficulty);
        where << QStringLiteral("%1 = ?%2").arg(column(QStringLiteral("Difficulty"))).arg(values.size());
    }
    Statement rows(db.handle(),
                   QStringLiteral("SELECT rowid, CASE CAST(%1 AS TEXT) WHEN 'OT' THEN %2 WHEN 'NT' THEN %3 ELSE %4 END,"
                                  " %5 FROM %6%7")
                       .arg(column(QStringLiteral("Testament")))
                       .arg(int(OldTag))
                       .arg(int(NewTag))
                       .arg(int(OtherTag))
                       .arg(choice.books ? column(QStringLiteral("Reference")) : QStringLiteral("NULL"), QuestionSchema::TableName(),
                            where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "))));
    for (int i = 0; i < values.size(); ++i)
        rows.bind(i + 1, values[i]);
    DeckFilter filter;
    qint64 read = 0;
    while (rows.step()) {
        if (++read % 20000 == 0)
            Progress::step(progress, QStringLiteral("Choosing the questions"), read, 0);
        if (choice.books && !choice.playsBook(BibleBooks::OfReference(rows.value(2).toString())))
            continue;
        const auto tag = quint8(rows.int64(1));
        filter.m_rows.emplace(rows.int64(0), tag);
        ++filter.m_counts[tag];
    }
    return filter;
}

bool DeckFilter::matches(quint8 tag, basGame::Testament testament)
{
    switch (testament) {
    case basGame::Testament::Both: return true;
    case basGame::Testament::Old: return tag == OldTag;
    case basGame::Testament::New: return tag == NewTag;
    }
    return false;
}

bool DeckFilter::admits(qint64 id, basGame::Testament testament) const
{
    const auto it = m_rows.find(id);
    return it != m_rows.end() && matches(it->second, testament);
}

qint64 DeckFilter::count(basGame::Testament testament) const
{
    qint64 n = 0;
    for (quint8 tag = OldTag; tag <= OtherTag; ++tag)
        if (matches(tag, testament))
            n += m_counts[tag];
    return n;
}
