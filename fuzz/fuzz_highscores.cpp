// The high-score table loaded from whatever the store holds, and a result offered to it.
// The input is a settings section, "Key=Value" lines: "Name1".."Name10", "Score1".."Score10",
// "Percent1".."Percent10" go into the store (a missing line leaves the key absent), and
// "Candidate", "CandidateScore", "CandidatePercent" give the result offered (whole numbers,
// kept to 16 bits). Checked: loading reads a value that is no 16-bit number as 0, reports
// the first one with error 13 or 6 and loads the rest; sorting is stable and descending; the result enters
// exactly when it beats the tenth entry, lands below every entry at least as good, and the
// table is written back; a result that does not enter leaves the store untouched.
#include "FuzzSupport.h"

#include "settings/NumericText.h"
#include "core/RunTimeError.h"
#include "settings/SettingsStore.h"
#include "scores/HighScoreTable.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

using FuzzSupport::Number;

namespace {
QString section() { return QLatin1String(HighScoreTable::Section); }

const QStringList &tableKeys()
{
    static const QStringList keys = [] {
        QStringList k;
        for (int i = 1; i <= HighScoreTable::Size; ++i)
            k << QStringLiteral("Name%1").arg(i) << QStringLiteral("Score%1").arg(i) << QStringLiteral("Percent%1").arg(i);
        return k;
    }();
    return keys;
}

const QString &absent()
{
    static const QString text = QChar(0) + QStringLiteral("absent");
    return text;
}

void clearSection()
{
    try {
        SettingsStore::DeleteSetting(section());
    } catch (const RunTimeError &) {
        // nothing stored yet
    }
}

// The stored values of the table's 30 keys, an absent key told apart from an empty value.
QStringList storedTexts()
{
    QStringList texts;
    for (const QString &key : tableKeys())
        texts << SettingsStore::GetSetting(section(), key, absent());
    return texts;
}

struct Expected
{
    QList<HighScore> scores;
    int error = 0; // the first error while loading, 0 when none
};

// Error 13 for text that is no number, 6 for a number outside the field's width.
template <class Int>
int toInt(const QString &text, Int *value)
{
    const Number n = FuzzSupport::readNumber(text);
    if (n.kind == Number::NotNumeric)
        return Err::TypeMismatch;
    const double rounded = n.kind == Number::Value ? std::nearbyint(n.value) : HUGE_VAL;
    if (!(rounded >= double(std::numeric_limits<Int>::min()) && rounded <= double(std::numeric_limits<Int>::max())))
        return Err::Overflow;
    *value = Int(rounded);
    return 0;
}

Expected expectLoaded(const QMap<QString, QString> &stored)
{
    Expected e;
    e.scores = QList<HighScore>(HighScoreTable::Size);
    for (int i = 1; i <= HighScoreTable::Size; ++i) {
        HighScore &h = e.scores[i - 1];
        h.Name = stored.value(QStringLiteral("Name%1").arg(i));
        const auto text = [&](const char *field) { return stored.value(QLatin1String(field) + QString::number(i), QStringLiteral("0")); };
        for (const int error : {toInt(text("Score"), &h.Score), toInt(text("Percent"), &h.Percent)})
            if (!e.error)
                e.error = error;
    }
    return e;
}

bool ranksAbove(const HighScore &b, const HighScore &a)
{
    return b.Score > a.Score || (b.Score == a.Score && b.Percent > a.Percent);
}

QList<HighScore> sorted(QList<HighScore> scores)
{
    std::stable_sort(scores.begin(), scores.end(), ranksAbove);
    return scores;
}

QString describe(const QList<HighScore> &scores)
{
    QStringList s;
    for (const HighScore &h : scores)
        s << QStringLiteral("\"%1\" %2 %3").arg(h.Name).arg(h.Score).arg(h.Percent);
    return s.join(QStringLiteral(" | "));
}

void checkReports(int expectedError)
{
    const QList<FuzzSupport::Shown> shown = FuzzSupport::messages();
    if (!expectedError) {
        FUZZ_CHECK(shown.isEmpty(), shown.isEmpty() ? QString() : shown[0].text);
        return;
    }
    const QString text = FuzzSupport::errorReport(expectedError, RunTimeError::standardDescription(expectedError));
    FUZZ_CHECK(shown.size() == 1 && shown[0].text == text && shown[0].style == 48 && shown[0].title == u"Error",
               shown.isEmpty() ? QStringLiteral("no report") : shown[0].text);
}

qint32 wholeNumber(const QString &text) { return text.trimmed().toInt(); }
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::dropQueuedEvents();
    const QMap<QString, QString> lines = FuzzSupport::keyValues(data, size);
    QMap<QString, QString> stored;
    for (const QString &key : tableKeys())
        if (lines.contains(key))
            stored.insert(key, lines.value(key));
    clearSection();
    for (auto it = stored.cbegin(); it != stored.cend(); ++it)
        SettingsStore::SaveSetting(section(), it.key(), it.value());

    // Loading: ten entries in stored order, a value that is no 16-bit number read as 0.
    const Expected e = expectLoaded(stored);
    HighScoreTable table;
    FuzzSupport::clearMessages();
    table.LoadScores();
    FUZZ_CHECK(table.Scores == e.scores, QStringLiteral("loaded   %1\nexpected %2").arg(describe(table.Scores), describe(e.scores)));
    checkReports(e.error);

    // Sorting: stable, descending by score, then percent.
    FuzzSupport::clearMessages();
    table.SortScores();
    FUZZ_CHECK(table.Scores == sorted(e.scores), describe(table.Scores));
    checkReports(0);

    // Offering a result: it enters exactly when it beats the tenth entry of the sorted table.
    const HighScore candidate{lines.value(QStringLiteral("Candidate")), wholeNumber(lines.value(QStringLiteral("CandidateScore"))),
                              qint16(wholeNumber(lines.value(QStringLiteral("CandidatePercent"))))};
    QStringList before;
    for (const QString &key : tableKeys())
        before << stored.value(key, absent());
    FuzzSupport::clearMessages();
    const bool entered = HighScoreTable::IsHighScore(candidate.Name, candidate.Score, candidate.Percent);
    checkReports(e.error);
    const QList<HighScore> judged = sorted(e.scores);
    FUZZ_CHECK(entered == ranksAbove(candidate, judged.last()),
               QStringLiteral("%1 for \"%2\" %3 %4 against %5").arg(entered).arg(candidate.Name).arg(candidate.Score)
                   .arg(candidate.Percent).arg(describe(judged)));
    if (!entered) {
        FUZZ_CHECK(storedTexts() == before, QStringLiteral("the store changed"));
        return 0;
    }
    // Written back: the table with the result below every entry at least as good, the tenth
    // entry gone; it now loads without error.
    QList<HighScore> expected = judged;
    expected.insert(std::partition_point(expected.begin(), expected.end(),
                                         [&](const HighScore &h) { return !ranksAbove(candidate, h); }) - expected.begin(),
                    candidate);
    expected.removeLast();
    HighScoreTable after;
    FuzzSupport::clearMessages();
    after.LoadScores();
    checkReports(0);
    FUZZ_CHECK(after.Scores == expected, QStringLiteral("stored   %1\nexpected %2").arg(describe(after.Scores), describe(expected)));
    return 0;
}
