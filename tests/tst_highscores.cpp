// The high-score table: who enters, where, and what the store holds afterwards.
#include "TestSupport.h"

#include "settings/SettingsStore.h"
#include "scores/HighScoreTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

// Tables are written as text: "Name Score Percent" entries, rank 1 first, joined by "|".
namespace {
const QString Section = QStringLiteral("HighScores");
const char *const Fields[] = {"Name", "Score", "Percent"};
// Ranks 1 to 9 well above any tenth entry a test adds.
const QString Nine = QStringLiteral("P1 100 50|P2 95 50|P3 90 50|P4 85 50|P5 80 50|P6 75 50|P7 70 50|P8 65 50|P9 60 50|");

// Writes the entries as ranks 1, 2, ... straight into the store.
void store(const QString &table)
{
    const QStringList entries = table.split(u'|', Qt::SkipEmptyParts);
    for (int i = 1; i <= entries.size(); ++i)
        for (int f = 0; f < 3; ++f)
            SettingsStore::SaveSetting(Section, QLatin1String(Fields[f]) + QString::number(i), entries[i - 1].split(u' ')[f]);
}

// All thirty stored texts, "-" for a missing key.
QStringList raw()
{
    QStringList out;
    for (int i = 1; i <= 10; ++i)
        for (const char *field : Fields)
            out << SettingsStore::GetSetting(Section, QLatin1String(field) + QString::number(i), QStringLiteral("-"));
    return out;
}

// The ten loaded entries, empty ones at the end left out.
QString loaded()
{
    HighScoreTable table;
    table.LoadScores();
    QStringList entries;
    for (const HighScore &e : table.Scores)
        entries << QStringLiteral("%1 %2 %3").arg(e.Name).arg(e.Score).arg(e.Percent);
    while (!entries.isEmpty() && entries.last() == u" 0 0")
        entries.removeLast();
    return table.Scores.size() == 10 ? entries.join(u'|') : QStringLiteral("%1 entries").arg(table.Scores.size());
}

bool offer(const QString &candidate)
{
    const QStringList f = candidate.split(u' ');
    return HighScoreTable::IsHighScore(f[0], f[1].toInt(), qint16(f[2].toInt()));
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

    void candidateEntersOnlyAboveTheTenth_data()
    {
        QTest::addColumn<QString>("stored"); // sorted
        QTest::addColumn<QString>("candidate");
        QTest::addColumn<int>("rank"); // 0 when it stays out
        QTest::newRow("ties the tenth") << Nine + "B 50 80" << "A 50 80" << 0;
        QTest::newRow("same score, better percent") << Nine + "B 50 80" << "A 50 81" << 10;
        QTest::newRow("better score, lower percent") << Nine + "B 50 80" << "A 51 0" << 10;
        QTest::newRow("placed below equals") << "P 90 0|Q 80 0|C 70 90|C 70 90|R 60 0" << "A 70 90" << 5;
        QTest::newRow("never played: nothing scored") << "" << "A 0 0" << 0;
        QTest::newRow("never played: percent only") << "" << "A 0 10" << 1;
        QTest::newRow("never played: negative score") << "" << "A -1 100" << 0;
        QTest::newRow("Ann and ann both stand") << "Ann 70 90" << "ann 70 90" << 2;
    }
    // A candidate enters below every entry at least as good, pushing the tenth out, and all thirty
    // values are written; one that does not enter leaves the store as it was.
    void candidateEntersOnlyAboveTheTenth()
    {
        QFETCH(QString, stored);
        QFETCH(QString, candidate);
        QFETCH(int, rank);
        store(stored);
        const QStringList before = raw();
        QCOMPARE(offer(candidate), rank > 0);
        if (rank > 0) {
            QStringList expected = stored.split(u'|', Qt::SkipEmptyParts);
            expected.insert(rank - 1, candidate);
            QCOMPARE(loaded(), expected.mid(0, 10).join(u'|'));
            QVERIFY(!raw().contains(QStringLiteral("-")));
        } else {
            QCOMPARE(raw(), before);
        }
        QVERIFY(TestSupport::messages().isEmpty());
    }

    // A store out of order is sorted (by score, then percent, equal entries keeping their order,
    // names never compared) before judging, and is rewritten only when the candidate enters.
    void unsortedStoreIsSortedStablyAndRewrittenOnlyOnEntry()
    {
        store(QStringLiteral("A 10 0|B 30 0|Y 20 5|C 20 5|D 20 7"));
        const QStringList before = raw();
        QVERIFY(!offer(QStringLiteral("X 0 0")));
        QCOMPARE(raw(), before);
        QVERIFY(offer(QStringLiteral("X 15 0")));
        QCOMPARE(loaded(), QStringLiteral("B 30 0|D 20 7|Y 20 5|C 20 5|X 15 0|A 10 0"));
    }

    void badStoredValueReadsAsZero_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("reported");
        QTest::addColumn<QString>("table"); // as loaded
        QTest::addColumn<QString>("after"); // after offering X 1 0; empty when it does not enter
        const QString full = Nine + "B 50 80", withoutP3 = QString(Nine).remove("P3 90 50|") + "B 50 80|X 1 0";
        QTest::newRow("score text") << "Score3" << "abc" << true << QString(full).replace("P3 90", "P3 0") << withoutP3;
        QTest::newRow("score empty") << "Score3" << "" << true << QString(full).replace("P3 90", "P3 0") << withoutP3;
        QTest::newRow("percent text") << "Percent3" << "x" << true << QString(full).replace("P3 90 50", "P3 90 0") << "";
        QTest::newRow("lowest score") << "Score3" << "-32768" << false << QString(full).replace("P3 90", "P3 -32768") << withoutP3;
    }
    // A missing section loads as ten empty entries. A bad stored number is reported and reads as
    // 0 while the rest of the table loads, so an entry that rises keeps every good entry.
    void badStoredValueReadsAsZero()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(bool, reported);
        QFETCH(QString, table);
        QFETCH(QString, after);
        QCOMPARE(loaded(), QString());
        store(Nine + "B 50 80");
        SettingsStore::SaveSetting(Section, key, value);
        QCOMPARE(loaded(), table);
        QCOMPARE(TestSupport::errorTexts(), reported ? QStringList{QStringLiteral("Error #: 13\rType mismatch")} : QStringList());
        QCOMPARE(offer(QStringLiteral("X 1 0")), !after.isEmpty());
        if (!after.isEmpty())
            QCOMPARE(loaded(), after);
    }

    // Two players of one game: the second is judged against the table holding the first's entry.
    void secondPlayerIsJudgedAgainstTheFirstPlayersEntry()
    {
        store(QString(Nine).replace("P9 60 50", "I 20 0") + "J 10 0");
        QVERIFY(offer(QStringLiteral("X 30 0")));
        QVERIFY(!offer(QStringLiteral("Y 15 0"))); // beats the old tenth (10), not the new (20)
        QVERIFY(offer(QStringLiteral("Z 25 0")));
        QVERIFY(loaded().endsWith(u"P8 65 50|X 30 0|Z 25 0"));
    }

    // A store that cannot be written is reported once; the candidate still counts as entered.
    void unwritableStoreIsReportedAndTheCandidateStillCounts()
    {
        // A folder where the settings file should be makes every write fail, even for root.
        const QString file = SettingsStore::FileName();
        QFile::remove(file);
        QVERIFY(QDir().mkpath(file));
        const bool entered = offer(QStringLiteral("A 10 10"));
        QVERIFY(QDir(file).removeRecursively());
        QVERIFY(entered);
        QCOMPARE(TestSupport::errorTexts().size(), 1);
        QVERIFY(TestSupport::errorTexts().first().startsWith(QStringLiteral("Error #: 75\r")));
    }
};

QUILLORY_CORE_TEST_MAIN(tst_HighScores)
#include "tst_highscores.moc"
