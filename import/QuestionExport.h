#pragma once

#include "db/QuestionRow.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class Database;

// Questions written as CSV that spreadsheets open as they are and that imports back unchanged:
// UTF-8 with a byte-order mark, commas, lines ending in CR LF, a header naming the columns.
// A cell that starts with =, +, -, @, a tab or a carriage return (after any apostrophes) is
// written with an apostrophe before it, so a spreadsheet shows it as text instead of running
// it as a formula; the import takes exactly that apostrophe away again.
namespace QuestionExport {

// The rows of db in the order they were added: every question, or those of one set (by its
// stored name, "" for the built-in set).
QList<QuestionRow> Rows(Database &db, const std::optional<QString> &set = std::nullopt);

// The cell as written: guarded against formulas, and quoted when it holds a comma, semicolon,
// quote, tab or line break or has blanks around it.
QString Cell(const QString &text);

QByteArray Csv(const QList<QuestionRow> &rows);

// Writes the CSV to path whole or not at all (a failure leaves an existing file as it was);
// raises error 75 with the reason.
void WriteFile(const QString &path, const QList<QuestionRow> &rows);
}
