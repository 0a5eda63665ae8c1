#pragma once

#include "settings/QuestionChoice.h"
#include "settings/basGame.h"

#include <QVariant>

#include <array>
#include <unordered_map>

class Database;
class Progress;

// The rows of the question table that the question choice admits (their set, book and
// difficulty), each with its testament tag, read in one pass over the table. The deck asks it
// by row id while it deals, so dealing reads no row that does not play, and the count of
// playable questions is known before the first one is dealt.
class DeckFilter
{
public:
    // Reads db's question table; raises the engine's run-time errors.
    static DeckFilter Build(Database &db, const QuestionChoice::Choice &choice, Progress *progress = nullptr);

    // Whether the row with this id plays under the testament choice (the deck's testament rule).
    bool admits(qint64 id, basGame::Testament testament) const;
    // How many rows play under the testament choice.
    qint64 count(basGame::Testament testament) const;

private:
    enum Tag : quint8 { OldTag, NewTag, OtherTag }; // "OT", "NT", anything else (Null included)
    static bool matches(quint8 tag, basGame::Testament testament);
    std::unordered_map<qint64, quint8> m_rows;
    std::array<qint64, 3> m_counts{};
};
