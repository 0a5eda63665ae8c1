#pragma once

#include <QList>
#include <QString>

class Database;

// The question sets of a database: the built-in questions (the set with the empty name) and
// every set imported, by the name it was given. A set is its rows' QuestionSet value; a set with
// no row left does not exist.
namespace QuestionSets {

inline constexpr int MaxNameLength = 60;

struct Set
{
    QString name; // "" for the built-in questions
    qint64 count = 0;
};

// The sets with their question counts: the built-in questions first (when there are any), then
// the imported sets in the order they were first imported.
QList<Set> List(Database &db);

// The name a player sees: "Built-in questions" for the built-in set, otherwise the name itself.
QString DisplayName(const QString &name);
// The stored name for a name a player gives: the built-in set's display name (any letter
// case) or "" stands for the built-in set.
QString StoredName(const QString &displayName);

// A name for a new set, in plain words why it cannot be one; empty when it can. Blanks around
// the name do not count (see Tidy).
QString NameProblem(const QString &name);
// The name as it is stored: blanks around it removed, runs of blanks made one.
QString Tidy(const QString &name);
// A set name made from a file's name (its base name, tidied and cut to the longest name).
QString NameForFile(const QString &path);

// Removes every question of an imported set in one transaction; the built-in set cannot be
// removed (error 5). Returns the number of questions removed.
qint64 Remove(Database &db, const QString &name);
}
