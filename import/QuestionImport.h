#pragma once

#include "db/QuestionRow.h"
#include "import/CsvReader.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class Database;
class KjvText;
class Progress;

// Questions from a spreadsheet's CSV or TSV file. Check reads a file and judges every row
// (nothing is written); Import writes the good rows into the database in one transaction, as a
// question set. The game's import window and the question tool use the same two steps.
//
// The header names the columns Question, Answer1 (the right answer), Answer2 to Answer4,
// Testament, Reference and, optionally, Difficulty, in any order and letter case; other columns
// are left unread. Blanks and line breaks inside a cell count as one blank, and blanks around
// it as none. A cell written by the export so that a spreadsheet cannot run it as a formula
// (an apostrophe before =, +, -, @, a tab or a carriage return) reads as it was before.
namespace QuestionImport {

inline constexpr int MaxQuestionLength = 250;
inline constexpr int MaxAnswerLength = 40; // as the bank: what fits on an answer button

struct RowNote
{
    qsizetype line;
    QString reason;
};

struct Preview
{
    QString error;                 // why the file cannot be imported at all; empty when it can
    QList<QuestionRow> rows;       // the good rows in file order; where is the line number
    QList<RowNote> problems;       // the bad rows, with every reason
    QList<RowNote> duplicates;     // rows already in the database or earlier in the file: skipped
    QStringList ignoredColumns;    // header names that are no column of a question
    qsizetype total = 0;           // the rows below the header
};

// The key a question is known by when it is looked for: its wording and right answer, letter
// case and blanks aside.
QString Key(const QString &question, const QString &rightAnswer);
// The keys of the questions db holds.
QSet<QString> ExistingKeys(Database &db);

// Judges a table read from a file. kjv checks the references; existing holds the keys of the
// questions the database has (see ExistingKeys). The progress may stop the work: the preview
// then has an error saying so.
Preview Check(const CsvReader::Table &table, const KjvText &kjv, const QSet<QString> &existing, Progress *progress = nullptr);
// Reads the text or the file first (CsvReader).
Preview CheckText(const QByteArray &text, const KjvText &kjv, const QSet<QString> &existing, Progress *progress = nullptr);
Preview CheckFile(const QString &path, const KjvText &kjv, const QSet<QString> &existing, Progress *progress = nullptr);

// Undoes the export's guard against formulas: one apostrophe before a cell that starts with
// apostrophes and then =, +, -, @, a tab or a carriage return is dropped.
QString Unguarded(const QString &cell);

// Writes rows into db as the question set `set` (a name NameProblem accepts; an existing set
// gains them) in one transaction, bringing an older table up to date in the same transaction.
// Returns the number written. Stopped by the progress, or failing, it leaves the database as
// it was: stopped, it returns -1; a failure raises the engine's run-time error.
qsizetype Import(Database &db, const QList<QuestionRow> &rows, const QString &set, Progress *progress = nullptr);
}
