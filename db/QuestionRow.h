#pragma once

#include <QString>
#include <QStringList>

#include <array>

// One question as the bank, the database and an imported file hold it. Answer1 is the correct
// answer; Testament "OT" or "NT"; Difficulty 1 (easy) to 3 (hard).
struct QuestionRow
{
    QString question;
    std::array<QString, 4> answers;
    QString testament;
    QString reference;
    int difficulty = 0; // 1 to 3; 0 when not graded
    QString where;      // "file:line", for messages

    // The row as the columns of a question file: Question, Answer1 to Answer4, Testament,
    // Reference and Difficulty (empty when not graded).
    QStringList cells() const
    {
        return {question, answers[0], answers[1], answers[2], answers[3], testament, reference,
                difficulty > 0 ? QString::number(difficulty) : QString()};
    }
};
