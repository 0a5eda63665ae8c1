#include "game/DeckFilter.h"

#include "bible/BibleBooks.h"
#include "core/Progress.h"
#include "db/Database.h"
#include "db/QuestionSchema.h"
#include "db/Statement.h"

DeckFilter DeckFilter::Build(Database &db, const QuestionChoice::Choice &choice, Progress *progress)
{
    const bool hasDifficulty = db.columns(QuestionSchema::TableName()).contains(QStringLiteral("Difficulty"), Qt::CaseInsensitive);
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
        where << (hasDifficulty ? QStringLiteral("Difficulty = ?%1").arg(values.size()) : QStringLiteral("0"));
    }
    Statement rows(db.handle(),
                   QStringLiteral("SELECT rowid, CASE CAST(Testament AS TEXT) WHEN 'OT' THEN %1 WHEN 'NT' THEN %2 ELSE %3 END,"
                                  " %4 FROM %5%6")
                       .arg(int(OldTag))
                       .arg(int(NewTag))
                       .arg(int(OtherTag))
                       .arg(choice.books ? QStringLiteral("Reference") : QStringLiteral("NULL"), QuestionSchema::TableName(),
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
