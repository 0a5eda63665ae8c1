#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Which questions play: the question sets, the books and the difficulty, kept in a settings
// section of its own ("Questions"). The testament choice of the game settings applies on top.
// Everything plays by default; a set imported later plays until it is left out.
namespace QuestionChoice {

enum class Difficulty { Any, Easy, Medium, Hard };

inline constexpr auto Section = "Questions";

struct Choice
{
    QStringList leftOutSets;          // set names that do not play ("" is the built-in questions)
    std::optional<QStringList> books; // the books that play; nothing: every book
    Difficulty difficulty = Difficulty::Any;

    // True when the choice admits every question (no set left out, every book, any difficulty).
    bool everything() const { return leftOutSets.isEmpty() && !books && difficulty == Difficulty::Any; }
    bool playsSet(const QString &set) const { return !leftOutSets.contains(set); }
    bool playsBook(const QString &book) const { return !books || books->contains(book); }
    // Rows without a difficulty play only under Any.
    bool playsDifficulty(int level) const { return difficulty == Difficulty::Any || level == int(difficulty); }
    bool operator==(const Choice &) const = default;
};

// The choice in force for the process.
extern Choice Current;

// "Any", "Easy", "Medium", "Hard", and back (nothing for another text).
QString DifficultyName(Difficulty difficulty);
std::optional<Difficulty> DifficultyNamed(const QString &name);

// Reads the section: a value that is not understood keeps its default (everything plays).
// The book list keeps only names of books of the Bible.
void Load();
// Writes the section and flushes the store; raises the store's run-time error.
void Save();
}
