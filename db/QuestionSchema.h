#pragma once

#include <QString>

// The question table as the program knows it: its one name, and the statement that makes it.
namespace QuestionSchema {

// The table every question database keeps its questions in.
inline constexpr auto Table = "tblQuillory";

QString TableName();

// CREATE TABLE for a new question table: ID, Question, Answer1 (the right answer) to Answer4,
// Testament ("OT" or "NT"), Reference, Sort (the deck's order) and Difficulty (1 to 3).
QString CreateTableSql();
}
