// The high-score table: who enters, where, and what the store holds afterwards.
#include "TestSupport.h"

#include "app/SettingsStore.h"
#include "scores/HighScoreTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>

Q_DECLARE_METATYPE(HighScore)

namespace {
using Table = QList<HighScore>;

const QString Section = QStringLiteral("HighScores");

// Writes the entries as ranks 1, 2, ... straight into the store.
void store(const Table &entries)
{
    for (int i = 1; i <= entries.size(); ++i) {
        const HighScore &e = entries[i - 1];
        SettingsStore::SaveSetting(Section, QStringLiteral("Name%1").arg(i), e.Name);
        SettingsStore::SaveSetting(Section, QStringLiteral("Score%1").arg(i), QString::number(e.Score));
        SettingsStore::SaveSetting(Section, QStringLiteral("Percent%1").arg(i), QString::number(e.Percent));
    }
}

// All thirty stored texts, "-" for a missing key.
QStringList raw()
{
    QStringList out;
    for (int i = 1; i <= 10; ++i)
        for (const char *field : {"Name", "Score", "Percent"})
            out << SettingsStore::GetSetting(Section, QLatin1String(field) + QString::number(i), QStringLiteral("-"));
    return out;
}

Table loaded()
{
    HighScoreTable table;
    table.LoadScores();
    return table.Scores;
}

Table padded(Table entries)
{
    entries.resize(10);
    return entries;
}

// A table as one readable line, for comparisons with clear failure messages.
QString text(const Table &entries)
{
    QStringList parts;
    for (const HighScore &e : entries)
        parts << QStringLiteral("%1 %2 %3").arg(e.Name).arg(e.Score).arg(e.Percent);
    return parts.join(QStringLiteral(" | "));
}

// Ten entries, ranks 1 to 9 well above the given tenth.
Table fullTable(const HighScore &tenth)
{
    Table entries;
    for (int i = 1; i <= 9; ++i)
        entries << HighScore{QStringLiteral("P%1").arg(i), qint16(105 - 5 * i), qint16(50)};
    return entries << tenth;
}
}

class tst_HighScores : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        TestSupport::clearSettings();
        TestSupport::clearMessages();
    }

    void neverPlayedLoadsTenEmptyEntries()
    {
        QCOMPARE(loaded(), Table(10));
        QVERIFY(TestSupport::messages().isEmpty());
    }

    void sortOrdersByScoreThenPercentKeepingTies()
    {
        HighScoreTable table;
        table.Scores = {{"b", 5, 1}, {"a", 5, 1}, {"c", 7, 0}, {"d", 5, 2}, {"e", -1, 99}, {"f", 0, 0}};
        table.SortScores();
        QCOMPARE(text(table.Scores), text({{"c", 7, 0}, {"d", 5, 2}, {"b", 5, 1}, {"a", 5, 1}, {"f", 0, 0}, {"e", -1, 99}}));
    }

    void candidateEntersOnlyAboveTheTenth_data()
    {
        QTest::addColumn<Table>("stored"); // sorted
        QTest::addColumn<HighScore>("candidate");
        QTest::addColumn<int>("rank"); // 0 when it stays out

        const Table equals{{"P", 90, 0}, {"Q", 80, 0}, {"C", 70, 90}, {"C", 70, 90}, {"R", 60, 0}};
        QTest::newRow("ties the tenth") << fullTable({"B", 50, 80}) << HighScore{"A", 50, 80} << 0;
        QTest::newRow("same score, better percent") << fullTable({"B", 50, 80}) << HighScore{"A", 50, 81} << 10;
        QTest::newRow("better score, lower percent") << fullTable({"B", 50, 80}) << HighScore{"A", 51, 0} << 10;
        QTest::newRow("same score, lower percent") << fullTable({"B", 50, 80}) << HighScore{"A", 50, 79} << 0;
        QTest::newRow("best of all") << fullTable({"B", 50, 80}) << HighScore{"A", 200, 100} << 1;
        QTest::newRow("placed below equals") << equals << HighScore{"A", 70, 90} << 5;
        QTest::newRow("empty table, nothing scored") << Table{} << HighScore{"A", 0, 0} << 0;
        QTest::newRow("empty table, percent only") << Table{} << HighScore{"A", 0, 10} << 1;
        QTest::newRow("empty table, negative score") << Table{} << HighScore{"A", -1, 100} << 0;
        QTest::newRow("empty name") << Table{} << HighScore{"", 5, 5} << 1;
        QTest::newRow("negative above lower negative") << fullTable({"Z", -10, 50}) << HighScore{"A", -5, 0} << 10;
        QTest::newRow("Ann and ann both stand") << Table{{"Ann", 70, 90}} << HighScore{"ann", 70, 90} << 2;
    }
    void candidateEntersOnlyAboveTheTenth()
    {
        QFETCH(Table, stored);
        QFETCH(HighScore, candidate);
        QFETCH(int, rank);
        store(stored);
        const QStringList before = raw();

        const bool entered = HighScoreTable::IsHighScore(candidate.Name, candidate.Score, candidate.Percent);

        QCOMPARE(entered, rank > 0);
        if (rank == 0) {
            QCOMPARE(raw(), before);
        } else {
            Table expected = padded(stored);
            expected.insert(rank - 1, candidate);
            QCOMPARE(text(loaded()), text(padded(expected)));
            QVERIFY(!raw().contains(QStringLiteral("-"))); // all thirty values written
            QCOMPARE(raw()[3 * rank - 2], QString::number(candidate.Score)); // plain decimal, "-5"
        }
        QVERIFY(TestSupport::messages().isEmpty());
    }

    void unsortedStoreIsRewrittenSortedOnlyWhenACandidateEnters()
    {
        const Table unsorted{{"A", 10, 0}, {"B", 30, 0}, {"C", 20, 5}, {"D", 20, 7}};
        store(unsorted);
        const QStringList before = raw();
        QVERIFY(!HighScoreTable::IsHighScore(QStringLiteral("X"), 0, 0));
        QCOMPARE(raw(), before);

        QVERIFY(HighScoreTable::IsHighScore(QStringLiteral("X"), 15, 0));
        QCOMPARE(text(loaded()), text(padded({{"B", 30, 0}, {"D", 20, 7}, {"C", 20, 5}, {"X", 15, 0}, {"A", 10, 0}})));
    }

    void badStoredValueStopsLoading_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("error"); // empty when the value loads
        QTest::addColumn<HighScore>("third"); // rank 3 as loaded

        QTest::newRow("score text") << "Score3" << "abc" << "Error #: 13\rType mismatch" << HighScore{"P3", 0, 0};
        QTest::newRow("score empty") << "Score3" << "" << "Error #: 13\rType mismatch" << HighScore{"P3", 0, 0};
        QTest::newRow("score too big") << "Score3" << "32768" << "Error #: 6\rOverflow" << HighScore{"P3", 0, 0};
        QTest::newRow("score too small") << "Score3" << "-40000" << "Error #: 6\rOverflow" << HighScore{"P3", 0, 0};
        QTest::newRow("percent text") << "Percent3" << "x" << "Error #: 13\rType mismatch" << HighScore{"P3", 90, 0};
        QTest::newRow("score lowest") << "Score3" << "-32768" << "" << HighScore{"P3", -32768, 50};
        QTest::newRow("half to even down") << "Score3" << "82.5" << "" << HighScore{"P3", 82, 50};
        QTest::newRow("half to even up") << "Score3" << "83.5" << "" << HighScore{"P3", 84, 50};
    }
    void badStoredValueStopsLoading()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, error);
        QFETCH(HighScore, third);
        const Table table = fullTable({"B", 50, 80});
        store(table);
        SettingsStore::SaveSetting(Section, key, value);

        Table expected = error.isEmpty() ? table : padded(table.mid(0, 2));
        expected[2] = third;
        QCOMPARE(text(loaded()), text(expected));
        QCOMPARE(TestSupport::errorTexts(), error.isEmpty() ? QStringList() : QStringList{error});
    }

    void candidateIsJudgedAgainstWhatLoadedBeforeAnError()
    {
        store(fullTable({"B", 50, 80}));
        SettingsStore::SaveSetting(Section, QStringLiteral("Score3"), QStringLiteral("abc"));
        QVERIFY(HighScoreTable::IsHighScore(QStringLiteral("X"), 1, 0));
        QCOMPARE(TestSupport::errorTexts(), QStringList{QStringLiteral("Error #: 13\rType mismatch")});
        QCOMPARE(text(loaded()), text(padded({{"P1", 100, 50}, {"P2", 95, 50}, {"X", 1, 0}, {"P3", 0, 0}})));
    }

    void secondPlayerIsJudgedAgainstTheFirstPlayersEntry()
    {
        Table table = fullTable({"J", 10, 0});
        table[8] = {"I", 20, 0};
        store(table);
        QVERIFY(HighScoreTable::IsHighScore(QStringLiteral("X"), 30, 0));
        // 15 would have beaten the old tenth (10) but not the new one (20).
        QVERIFY(!HighScoreTable::IsHighScore(QStringLiteral("Y"), 15, 0));
        QVERIFY(HighScoreTable::IsHighScore(QStringLiteral("Z"), 25, 0));
        // Both entries stand at the foot of the table; I and J have dropped out.
        QCOMPARE(text(loaded().mid(7)), text({{"P8", 65, 50}, {"X", 30, 0}, {"Z", 25, 0}}));
    }

    void deleteRemovesTheSectionAndIsSilentWhenItIsMissing()
    {
        HighScoreTable table;
        table.DeleteScores();
        QVERIFY(TestSupport::messages().isEmpty());

        QVERIFY(HighScoreTable::IsHighScore(QStringLiteral("A"), 10, 10));
        table.DeleteScores();
        table.DeleteScores();
        QCOMPARE(raw(), QStringList(30, QStringLiteral("-")));
        QVERIFY(TestSupport::messages().isEmpty());
    }

    void unwritableStoreIsReportedAndTheCandidateStillCounts()
    {
        // A folder where the settings file should be makes every write fail, even for root.
        const QString file = SettingsStore::FileName();
        QFile::remove(file);
        QVERIFY(QDir().mkpath(file));
        const bool entered = HighScoreTable::IsHighScore(QStringLiteral("A"), 10, 10);
        QVERIFY(QDir(file).removeRecursively());
        QVERIFY(entered);
        QCOMPARE(TestSupport::errorTexts().size(), 1);
        QVERIFY(TestSupport::errorTexts().first().startsWith(QStringLiteral("Error #: 75\r")));
    }
};

QUILLORY_CORE_TEST_MAIN(tst_HighScores)
#include "tst_highscores.moc"
