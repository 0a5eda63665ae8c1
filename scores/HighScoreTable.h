#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

// One entry of the high-score table.
struct HighScore
{
    QString Name;       // the player's name as the game gives it; may be empty
    qint32 Score = 0;   // points of that game
    qint16 Percent = 0; // share of correct answers, 0 to 100

    friend bool operator==(const HighScore &, const HighScore &) = default;
};

// The ten best results of this user account, kept in the settings store (section "HighScores",
// keys "Name1".."Name10", "Score1".."Score10", "Percent1".."Percent10").
//
// Every procedure reports its own run-time errors (basMain::ReportError) and returns normally,
// keeping whatever it had done before the error; callers simply go on with their next step.
class HighScoreTable
{
public:
    static constexpr int Size = 10;
    static constexpr auto Section = "HighScores";

    // Rank i is Scores[i - 1]: ten entries after loading, eleven while a candidate is judged.
    QList<HighScore> Scores;

    // The entry of rank 1 to Scores.size(); error 9 for any other rank.
    HighScore &Entry(int rank);
    const HighScore &Entry(int rank) const;

    // Reads the ten stored entries in stored order (no sorting). A missing key reads as an empty
    // entry. A score or percent that is not a number (empty text included) is error 13; a score
    // beyond 32 bits or a percent beyond 16 bits is error 6: the first such value is reported,
    // every bad value reads as 0 and the rest of the table loads.
    void LoadScores();

    // Orders the entries by Score, then Percent, both descending. Equal entries keep their order;
    // names are never compared.
    void SortScores();

    // Writes ranks 1 to 10, all thirty values, and flushes the store so a failure is reported.
    void SaveScores();

    // Removes the whole section. A section that does not exist is not an error.
    void DeleteScores();

    // Offers a result to the stored table: it enters when its score beats the tenth entry's, or
    // ties it with a better percent, and lands below every entry at least as good. Returns true
    // when it entered and the table was written back; false otherwise, also after an error.
    static bool IsHighScore(const QString &strName, qint32 intScore, qint16 intPercent);
};
