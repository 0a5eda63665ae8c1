#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "db/QuestionRow.h"

class KjvText;

// The question bank in text form: UTF-8, tab-separated, one question a row under the header
// "Question Answer1 Answer2 Answer3 Answer4 Testament Reference Difficulty". Answer1 is the
// correct answer; Difficulty is 1 (easy), 2 (medium) or 3 (hard). A bank without the
// Difficulty column (the first edition's header) still reads, its rows having no difficulty.
// Its rows are QuestionRows.
struct BankFinding
{
    enum Kind { Error, Warning, Note };
    Kind kind;
    QString where;
    QString message;
    QString rule; // a fairness rule's short id ("gender", "echo"...), empty for the other checks
};

class QuestionBank
{
public:
    // The header of a bank (with Difficulty) and of a first-edition bank (without).
    static const QStringList &header();
    static const QStringList &firstEditionHeader();
    static constexpr int MaxAnswerLength = 40;

    // Parses one bank text. Malformed lines are reported in findings and skipped.
    void parse(const QByteArray &text, const QString &sourceName);
    // Reads files, or every *.tsv of a folder in name order. False when a file cannot be read.
    bool loadPaths(const QStringList &paths);
    void add(const QuestionRow &row) { m_rows << row; }

    const QList<QuestionRow> &rows() const { return m_rows; }
    const QList<BankFinding> &findings() const { return m_findings; }
    int errorCount() const;

    // Row rules: no empty field, surrounding blanks or control characters, four distinct answers
    // of at most 40 characters, no "all/none of the above", testament "OT" or "NT", a reference,
    // no question twice, and the same correct answer to the same chapter listed as a possible
    // repeat.
    void checkRows();

    // Rules against the King James text: the reference exists, the testament is the book's,
    // and the correct answer's key words appear in the referenced verses (rows where they do
    // not are listed as paraphrases). Returns the number of rows borne out by their passage.
    int checkAgainstText(const KjvText &kjv);

    struct Totals
    {
        int rows = 0, ot = 0, nt = 0, books = 0, largestBookCount = 0;
        QString largestBook;
    };
    Totals totals(const KjvText *kjv) const;

    // The key-word test: every key word of answer (stop words dropped, numbers also as English
    // words, "3 times" as "thrice", common spellings of well-known names accepted) appears in
    // passage; an answer of stop words only ("With all his might") needs all of them.
    static bool BorneOut(const QString &answer, const QString &passage);

    void addFinding(BankFinding::Kind kind, const QString &where, const QString &message, const QString &rule = {})
    {
        m_findings << BankFinding{kind, where, message, rule};
    }

    // Reviewed exceptions: a text under the header "Rule Question Reason", one row a finding
    // that a reader judged fair. Each row drops the errors of its rule on the rows with exactly
    // that question; a row that drops nothing is an error itself, so the list stays current.
    // Returns the number of errors dropped.
    int applyExceptions(const QByteArray &text, const QString &sourceName);

private:
    QList<QuestionRow> m_rows;
    QList<BankFinding> m_findings;
};
