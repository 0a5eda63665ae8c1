#pragma once

#include <QString>

class Database;
class Statement;
struct QuestionRow;

// The question table as the program knows it: its one name, the statement that makes it, and
// how a table of an older shape is brought up to date.
namespace QuestionSchema {

// The table every question database keeps its questions in.
inline constexpr auto Table = "tblQuillory";

// The column naming the question set a row belongs to. The built-in questions have an empty
// name (a Null reads the same); every imported set has a name of its own.
inline constexpr auto SetColumn = "QuestionSet";

// The shape of the file, recorded in its header (PRAGMA user_version, which compact and repair
// carry over): 0 the first shape, without sets; 1 with Difficulty and QuestionSet.
inline constexpr int FormatVersion = 1;

QString TableName();
QString SetColumnName();

// CREATE TABLE for a new question table: ID, Question, Answer1 (the right answer) to Answer4,
// Testament ("OT" or "NT"), Reference, Sort (the deck's order), Difficulty (1 to 3) and
// QuestionSet.
QString CreateTableSql();

// INSERT of one question with every column but ID, for BindRow.
QString InsertSql();

// Binds r to a statement of InsertSql, with its place in the deck and its set (an empty name for
// the built-in questions).
void BindRow(Statement &insert, const QuestionRow &r, qint64 sort, const QString &set);

// Marks a new file with today's format version (after CreateTableSql).
void StampVersion(Database &db);

// True when db's question table lacks a column of today's shape, or the file records an older
// format version. A database without a question table (or with a view in its place) needs
// nothing: it cannot be written as a question table anyway.
bool NeedsUpgrade(Database &db);

// Brings an older question table up to date in place: adds the missing columns (the rows
// already there become the built-in questions) and records FormatVersion. Call it inside the
// transaction of the write that needs it, so the file is upgraded together with that write
// or not at all. A newer format version is left as it is.
void Upgrade(Database &db);

// SQL for a row's set name, Null read as the built-in set's empty name; "''" when the table
// has no set column yet (a file of the first shape: every row is built in).
QString SetExpression(Database &db);
}
