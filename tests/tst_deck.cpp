// The question deck: random numbers, shuffles of any size, dealing with the testament rule.
#include "TestSupport.h"

#include "db/DataControl.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "core/RunTimeError.h"
#include "db/Statement.h"
#include "game/DeckFilter.h"
#include "game/GameSession.h"
#include "game/QuestionDeck.h"
#include "game/Random.h"
#include "import/QuestionImport.h"
#include "settings/QuestionChoice.h"
#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QSet>
#include <QTemporaryDir>

#include <chrono>
#include <thread>

class tst_Deck : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString database(int rows, const QStringList &testaments = {QStringLiteral("OT"), QStringLiteral("NT")})
    {
        static int n = 0;
        return TestSupport::makeDatabase(dir.filePath(QStringLiteral("deck%1.mdb").arg(++n)),
                                         TestSupport::sampleRows(rows, testaments));
    }
    static QList<int> sortValues(const QString &file)
    {
        auto db = Database::open(file, TestSupport::Password);
        Statement q(db->handle(), QStringLiteral("SELECT Sort FROM tblQuillory ORDER BY rowid"));
        QList<int> out;
        while (q.step())
            out << int(q.int64(0));
        return out;
    }
    static QStringList dealt(Recordset &rs, basGame::Testament testament)
    {
        QStringList out;
        if (QuestionDeck::DrawFirst(rs, testament))
            out << rs.FieldText(QStringLiteral("Question"));
        while (QuestionDeck::DrawNext(rs, testament))
            out << rs.FieldText(QStringLiteral("Question"));
        return out;
    }

private slots:
    void randomIntStaysInRange()
    {
        for (int i = 0; i < 2000; ++i) {
            const qint16 v = Random::RandomInt<qint16>(1, 4);
            QVERIFY(v >= 1 && v <= 4);
        }
        QCOMPARE(Random::RandomInt<qint16>(7, 7), qint16(7));
        QCOMPARE(Random::RandomInt<qint16>(-32768, -32768), qint16(-32768));
        QVERIFY_THROWS_EXCEPTION(RunTimeError, Random::RandomInt<qint16>(-32768, 32767));
    }

    void shuffleOfFourReachesAllTwentyFourOrders()
    {
        QSet<QString> orders;
        std::array<qint16, 4> order{};
        for (int i = 0; i < 3000 && orders.size() < 24; ++i) {
            Random::ShuffleArray<qint16>(order, 1);
            orders.insert(QStringLiteral("%1%2%3%4").arg(order[0]).arg(order[1]).arg(order[2]).arg(order[3]));
        }
        QCOMPARE(orders.size(), 24);
        // Any lower bound: the values are the indexes themselves.
        std::array<qint16, 3> other{};
        Random::ShuffleArray<qint16>(other, -1);
        std::sort(other.begin(), other.end());
        QCOMPARE(other, (std::array<qint16, 3>{-1, 0, 1}));
    }

    void everyRowGetsAPermutation_data()
    {
        QTest::addColumn<int>("rows");
        QTest::newRow("3 rows") << 3;
        QTest::newRow("1000 rows") << 1000;
        QTest::newRow("1200 rows") << 1200;
    }
    void everyRowGetsAPermutation()
    {
        QFETCH(int, rows);
        const QString file = database(rows);
        DataControl dat;
        TestSupport::openControl(dat, file);
        QuestionDeck::Shuffle(dat);
        QList<int> first = sortValues(file);
        QList<int> sorted = first;
        std::sort(sorted.begin(), sorted.end());
        QList<int> expected(rows);
        std::iota(expected.begin(), expected.end(), 1);
        QCOMPARE(sorted, expected);

        // The deck is reopened in Sort order on its first row, and deals every row once.
        QCOMPARE(dat.RecordSource, QStringLiteral("select * from tblQuillory order by Sort"));
        Recordset &rs = dat.recordset();
        QCOMPARE(rs.Field(QStringLiteral("Sort")).toInt(), 1);
        const QStringList all = dealt(rs, basGame::Testament::Both);
        QCOMPARE(all.size(), rows);
        QCOMPARE(QSet<QString>(all.begin(), all.end()).size(), rows);

        if (rows >= 1000) { // two shuffles in quick succession differ
            QuestionDeck::Shuffle(dat);
            QVERIFY(sortValues(file) != first);
        }
    }

    void emptyTableShufflesAndThenHasNoCurrentRecord()
    {
        const QString file = database(1);
        TestSupport::execSql(file, QStringLiteral("DELETE FROM tblQuillory"));
        DataControl dat;
        TestSupport::openControl(dat, file);
        QuestionDeck::Shuffle(dat);
        QVERIFY(dat.recordset().EOF_());
        QVERIFY_THROWS_EXCEPTION(RunTimeError, dat.recordset().FieldText(QStringLiteral("Answer1")));
    }

    void testamentRuleSkipsOtherAndNullTags()
    {
        // Rows cycle OT, NT, Null, "ot", OT ... in stored order (no shuffle here).
        const QString file = database(10, {QStringLiteral("OT"), QStringLiteral("NT"), QString(), QStringLiteral("ot")});
        DataControl dat;
        TestSupport::openControl(dat, file);
        const QStringList ot = dealt(dat.recordset(), basGame::Testament::Old);
        QCOMPARE(ot, (QStringList{"Question 1", "Question 5", "Question 9"}));
        // The deck ran out: the cursor stands again on the last question dealt.
        QCOMPARE(dat.recordset().FieldText(QStringLiteral("Question")), QStringLiteral("Question 9"));

        dat.Refresh();
        QCOMPARE(dealt(dat.recordset(), basGame::Testament::New), (QStringList{"Question 2", "Question 6", "Question 10"}));
        dat.Refresh();
        QCOMPARE(dealt(dat.recordset(), basGame::Testament::Both).size(), 10);
    }

    void choicePicksTheDeck_data()
    {
        QTest::addColumn<QStringList>("leftOut");
        QTest::addColumn<QStringList>("books"); // empty: every book
        QTest::addColumn<int>("difficulty");
        QTest::addColumn<int>("testament");
        QTest::newRow("everything") << QStringList() << QStringList() << 0 << int(basGame::Testament::Both);
        QTest::newRow("one set") << QStringList{""} << QStringList() << 0 << int(basGame::Testament::Both);
        QTest::newRow("a book named in the singular, OT") << QStringList() << QStringList{"Psalms"} << 0 << int(basGame::Testament::Old);
        QTest::newRow("easy NT") << QStringList() << QStringList() << 1 << int(basGame::Testament::New);
        QTest::newRow("all together") << QStringList{"Mine"} << QStringList{"Ruth", "John"} << 3 << int(basGame::Testament::Both);
        QTest::newRow("nothing left") << QStringList() << QStringList{"John"} << 0 << int(basGame::Testament::Old);
    }
    // The deck deals exactly the rows of the chosen sets, books and difficulty, and the
    // testament choice on top; a choice that leaves none says so in plain words.
    void choicePicksTheDeck()
    {
        QFETCH(QStringList, leftOut);
        QFETCH(QStringList, books);
        QFETCH(int, difficulty);
        QFETCH(int, testament);
        QList<QuestionRow> rows = TestSupport::sampleRows(18);
        static const char *const references[] = {"Ruth 1:1", "John 1:1", "Psalm 23:1"};
        for (int k = 0; k < 18; ++k) {
            rows[k].reference = QLatin1String(references[k % 3]);
            rows[k].testament = k % 3 == 1 ? QStringLiteral("NT") : QStringLiteral("OT");
            rows[k].difficulty = k / 3 % 3 + 1;
        }
        const QString file = TestSupport::makeDatabase(dir.filePath(QStringLiteral("choice.mdb")), rows.mid(0, 12));
        QCOMPARE(QuestionImport::Import(*Database::open(file, TestSupport::Password), rows.mid(12), QStringLiteral("Mine")), 6);
        QuestionChoice::Choice choice{leftOut, books.isEmpty() ? std::nullopt : std::optional(books), QuestionChoice::Difficulty(difficulty)};
        const auto chosen = basGame::Testament(testament);
        QStringList expected;
        for (int k = 0; k < 18; ++k)
            if (!leftOut.contains(k < 12 ? QString() : QStringLiteral("Mine")) && (books.isEmpty() || books.contains(QStringList{"Ruth", "John", "Psalms"}[k % 3]))
                && (!difficulty || rows[k].difficulty == difficulty) && QuestionDeck::Matches(rows[k].testament, chosen))
                expected << rows[k].question;
        DataControl dat;
        TestSupport::openControl(dat, file);
        QuestionDeck::Shuffle(dat);
        const DeckFilter filter = DeckFilter::Build(dat.database(), choice);
        QCOMPARE(filter.count(chosen), expected.size());
        QStringList all;
        if (QuestionDeck::DrawFirst(dat.recordset(), chosen, choice.everything() ? nullptr : &filter))
            do
                all << dat.recordset().FieldText(QStringLiteral("Question"));
            while (QuestionDeck::DrawNext(dat.recordset(), chosen, choice.everything() ? nullptr : &filter));
        all.sort();
        expected.sort();
        QCOMPARE(all, expected);
        QuestionChoice::Current = choice;
        basGame::GameSettings.Testament = chosen;
        if (expected.isEmpty())
            QCOMPARE(GameSession::NoQuestionsText(), QStringLiteral("The question database holds no Old Testament questions in the books chosen."
                                                                    " Choose more questions on the Questions page of the options, or another"
                                                                    " testament on the Testament page."));
        QuestionChoice::Current = {};
    }

    // The settings section keeps what it understands of a stored text, and writes back what it read.
    void storedChoice()
    {
        const QString s = QString::fromLatin1(QuestionChoice::Section);
        SettingsStore::SaveSetting(s, QStringLiteral("LeftOutSets"), QStringLiteral(R"(["", "Mine"])"));
        SettingsStore::SaveSetting(s, QStringLiteral("Books"), QStringLiteral(R"(["psalm", "Nowhere", "Ruth"])"));
        SettingsStore::SaveSetting(s, QStringLiteral("Difficulty"), QStringLiteral("Hard"));
        QuestionChoice::Load();
        const QuestionChoice::Choice read{{"", "Mine"}, QStringList{"Psalms", "Ruth"}, QuestionChoice::Difficulty::Hard};
        QVERIFY(QuestionChoice::Current == read);
        QuestionChoice::Save();
        QuestionChoice::Load();
        QVERIFY(QuestionChoice::Current == read);
        SettingsStore::SaveSetting(s, QStringLiteral("LeftOutSets"), QStringLiteral("Mine"));
        SettingsStore::SaveSetting(s, QStringLiteral("Books"), QStringLiteral("[1]"));
        SettingsStore::SaveSetting(s, QStringLiteral("Difficulty"), QStringLiteral("hard"));
        QuestionChoice::Load();
        QVERIFY(QuestionChoice::Current.everything());
    }

    // Another copy of the game writing at the same moment holds its lock briefly: the shuffle
    // waits for it. A lock held longer than the wait is error 3109.
    void shuffleWaitsForABriefLock()
    {
        const QString file = database(50);
        DataControl dat;
        TestSupport::openControl(dat, file);
        auto other = Database::open(file, TestSupport::Password);
        for (const int holdMs : {300, Database::BusyTimeoutMs + 1500}) {
            other->exec(QStringLiteral("BEGIN IMMEDIATE"));
            std::thread release([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
                other->commit();
            });
            int error = 0;
            try {
                QuestionDeck::Shuffle(dat);
            } catch (const RunTimeError &e) {
                error = e.number();
            }
            release.join();
            QCOMPARE(error, holdMs < Database::BusyTimeoutMs ? 0 : int(Err::Busy));
        }
    }
};

QUILLORY_CORE_TEST_MAIN(tst_Deck)
#include "tst_deck.moc"
