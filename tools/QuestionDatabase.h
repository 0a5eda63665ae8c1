#pragma once

#include "tools/QuestionBank.h"

#include <QString>

// The encrypted question database file: table tblQuillory with Question, Answer1 to Answer4,
// Testament, Reference, Sort, Difficulty and QuestionSet (the bank is the built-in set), keyed
// with a password.
namespace QuestionDatabase {

// Writes rows into a new keyed database at path: built beside it, flushed and renamed over it,
// so an existing file is replaced whole or not at all (a failure leaves it as it was). Sort is numbered 1.. in row order.
// Raises the engine's run-time errors.
void Write(const QString &path, const QString &password, const QList<QuestionRow> &rows);

// Reads every row back in stored order (Nulls become empty texts); where is "path:#rowid".
QList<QuestionRow> Read(const QString &path, const QString &password);

// The bank's text form of rows, header first.
QByteArray ToText(const QList<QuestionRow> &rows);
}
