#pragma once

#include "settings/basGame.h"

#include <QString>
#include <QVariant>

class DataControl;
class DeckFilter;
class Progress;
class Recordset;

// The question deck: the rows of tblQuillory in the order of their Sort field.
namespace QuestionDeck {

// "select * from tblQuillory order by Sort", built the way the deck always has.
QString ShuffledRecordSource();

// Writes a fresh random permutation of 1..row count into the Sort field of every row (one
// transaction, which also brings a question table of an older shape up to date), then reopens
// the data control in Sort order, standing on its first row: the first question of the game
// whatever its testament. On an error nothing is written and the data control stays as it
// was. A progress reporter, when given, hears how far the writing got.
void Shuffle(DataControl &dat, Progress *progress = nullptr);

// True when a row's Testament tag matches the choice: "Both" matches every row, otherwise the
// tag must be the choice's code exactly ("OT" or "NT", letter case counts); a Null tag matches
// only "Both".
bool Matches(const QVariant &rowTestament, basGame::Testament choice);

// Moves to the next row that matches the setting (and, with a filter, that the question choice
// admits). True when a question is current; false when the deck ran out, the cursor then
// standing again on the question it stood on, so the window keeps showing the last question
// asked.
bool DrawNext(Recordset &deck, basGame::Testament testament, const DeckFilter *filter = nullptr);

// Stands the deck on its first row that matches the setting (and the filter), the first
// question of a game. False when no row matches (the cursor then stands past the last row).
bool DrawFirst(Recordset &deck, basGame::Testament testament, const DeckFilter *filter = nullptr);
}
