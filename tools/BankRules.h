#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <array>

class KjvText;
class QuestionBank;
struct QuestionRow;

// The fairness rules of the question bank, each with a short id that its findings and the
// reviewed-exceptions file name:
//   gender        the answers that are people are all men or all women, as the question asks
//   plural        "which two ..." and plural questions have answers of that number
//   echo          no distinctive word of the question reappears only in the right answer
//   odd-length    the right answer is not clearly longer than every wrong answer
//   odd-form      nor the only one of its form ("The ...", a number, a list, a name, several words)
//   kind          a person among people, a place among places
//   name          the capitalised words of a wrong name are words of the King James text
//   number-words  quantities in digits ("40 days"), not in words ("Forty days"); ordinals stay words
//   giveaway      no question's text names the right answer of another on the same chapter
//   also-true     no wrong answer is stated by the passage as the right one is
// and the whole-bank rules (size, testaments, books, difficulty mix, question shapes).
class BankRules
{
public:
    // The word lists come from the King James text: its words, the names it gives men (by
    // phrases such as "X the son of", "king X") and places ("the city of X", "mount X"), and the
    // women it names (data/names/women.tsv, built into the tool). Without the text, the rules
    // that need it (gender, kind, name, also-true) are skipped.
    explicit BankRules(const KjvText *kjv);

    // Adds every row rule's findings to the bank, as errors naming their rule.
    void check(QuestionBank &bank) const;

    enum Sex { NoSex, Man, Woman, Mixed };
    // The sex of an answer that names people ("Ruth", "His sister", "Simeon and Levi"); NoSex
    // when it names no person or the text does not tell.
    Sex sexOf(const QString &answer) const;

    enum Shape { Who, What, Where, When, HowMany, WhichBook, Why, Other, ShapeCount };
    static Shape shapeOf(const QString &question);
    static QString shapeName(int shape);
    // A quotation to complete: a quotation cut off by "..." or by the asking word itself
    // ("... but I will chastise you with" what?), or a question beginning "Complete"/"Finish".
    static bool isQuotation(const QString &question);

    // The counts the whole-bank rules judge.
    struct Summary
    {
        int rows = 0, quotations = 0, ungraded = 0;
        QHash<QString, int> perTestament;
        QHash<QString, std::array<int, 4>> perDifficulty; // testament -> count of 0 (none), 1, 2, 3
        std::array<int, ShapeCount> shapes{};
        QHash<QString, int> perBook;
    };
    Summary summarise(const QList<QuestionRow> &rows) const;
    // Lines describing the summary, for check to print.
    static QStringList describe(const Summary &s);
    // The whole-bank rules that fail, one message each; borne is the number of rows borne out.
    static QStringList bankFailures(const Summary &s, int borne, int duplicates);

private:
    Sex nameSex(const QString &name) const;
    bool isProper(const QString &word) const;
    bool inText(const QString &word) const;
    int frequency(const QString &word) const { return m_frequency.value(word.toLower()); }

    QStringList gender(const QuestionRow &r) const;
    QStringList plural(const QuestionRow &r) const;
    QStringList echo(const QuestionRow &r) const;
    static QStringList oddLength(const QuestionRow &r);
    QStringList oddForm(const QuestionRow &r) const;
    QStringList kind(const QuestionRow &r) const;
    QStringList names(const QuestionRow &r) const;
    static QStringList numberWords(const QuestionRow &r);
    QStringList alsoTrue(const QuestionRow &r) const;
    void giveaways(QuestionBank &bank) const;

    const KjvText *m_kjv;
    QHash<QString, int> m_frequency;     // lower-case word -> occurrences in the text
    QHash<QString, int> m_capitalised;   // word -> capitalised occurrences inside a sentence
    QHash<QString, bool> m_women;        // woman's name -> the text also gives it to a man
    QHash<QString, int> m_men, m_places; // name -> phrases naming it a man / a place
    QHash<QString, int> m_people;        // name -> phrases naming it someone who speaks, or in a genealogy
    QHash<QString, int> m_nations;       // name -> phrases naming it a tribe or nation (people and place)
    QSet<QString> m_lowercase;           // words the text also writes in lower case (not names only)
};
