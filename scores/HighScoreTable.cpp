#include "scores/HighScoreTable.h"

#include "settings/NumericText.h"
#include "core/RunTimeError.h"
#include "settings/SettingsStore.h"
#include "core/basMain.h"

#include <utility>

namespace {
QString section() { return QLatin1String(HighScoreTable::Section); }

QString key(const char *field, int rank) { return QLatin1String(field) + QString::number(rank); }

// True when b belongs above a: a greater score, or the same score with a greater percent.
bool ranksAbove(const HighScore &b, const HighScore &a)
{
    return b.Score > a.Score || (b.Score == a.Score && b.Percent > a.Percent);
}
}

HighScore &HighScoreTable::Entry(int rank)
{
    if (rank < 1 || rank > Scores.size())
        throw RunTimeError::standard(Err::SubscriptOutOfRange);
    return Scores[rank - 1];
}

const HighScore &HighScoreTable::Entry(int rank) const
{
    return const_cast<HighScoreTable *>(this)->Entry(rank);
}

void HighScoreTable::LoadScores()
{
    Scores = QList<HighScore>(Size);
    // A bad stored number is reported once and read as 0, and the later entries still load:
    // the table is written back whole after the next entry, so stopping at the bad value would
    // erase every good entry below it.
    bool reported = false;
    auto number = [&reported](const char *field, int rank) -> qint32 {
        try {
            const QString text = SettingsStore::GetSetting(section(), key(field, rank), QStringLiteral("0"));
            return qstrcmp(field, "Score") == 0 ? NumericText::TextToInt32(text) : NumericText::TextToInt16(text);
        } catch (const RunTimeError &error) {
            if (!std::exchange(reported, true))
                basMain::ReportError(error);
            return 0;
        }
    };
    basMain::Trap([&] {
        for (int i = 1; i <= Size; ++i) {
            HighScore &entry = Entry(i);
            entry.Name = SettingsStore::GetSetting(section(), key("Name", i), QString());
            entry.Score = number("Score", i);
            entry.Percent = qint16(number("Percent", i));
        }
    });
}

void HighScoreTable::SortScores()
{
    // An exchange sort with n full passes: adjacent entries swap only when the lower one
    // ranks strictly above, which keeps equal entries in their order.
    const int n = int(Scores.size());
    for (int pass = 1; pass <= n; ++pass)
        for (int j = 2; j <= n; ++j)
            if (ranksAbove(Entry(j), Entry(j - 1)))
                std::swap(Entry(j - 1), Entry(j));
}

void HighScoreTable::SaveScores()
{
    basMain::Trap([this] {
        for (int i = 1; i <= Size; ++i) {
            const HighScore &entry = Entry(i);
            SettingsStore::SaveSetting(section(), key("Name", i), entry.Name);
            SettingsStore::SaveSetting(section(), key("Score", i), QString::number(entry.Score));
            SettingsStore::SaveSetting(section(), key("Percent", i), QString::number(entry.Percent));
        }
        SettingsStore::Sync();
    });
}

void HighScoreTable::DeleteScores()
{
    basMain::Trap([] {
        try {
            SettingsStore::DeleteSetting(section());
        } catch (const RunTimeError &error) {
            // Nothing stored yet, or already reset: there is nothing to delete.
            if (error.number() == Err::InvalidCall)
                return;
            throw;
        }
        SettingsStore::Sync();
    });
}

bool HighScoreTable::IsHighScore(const QString &strName, qint32 intScore, qint16 intPercent)
{
    bool entered = false;
    basMain::Trap([&] {
        HighScoreTable table;
        // The stored table is put in order before it is judged.
        table.LoadScores();
        table.SortScores();
        table.Scores.append(HighScore{strName, intScore, intPercent});
        table.SortScores();
        // A candidate that did not rise above the eleventh place is still itself at the end.
        const HighScore &last = table.Entry(int(table.Scores.size()));
        if (last.Name == strName && last.Score == intScore && last.Percent == intPercent)
            return;
        // The former tenth entry, now eleventh, drops out: only ranks 1 to 10 are written.
        table.SaveScores();
        entered = true;
    });
    return entered;
}
