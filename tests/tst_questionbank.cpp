// The question bank's text form and its checks against the King James text.
#include "TestSupport.h"

#include "tools/BankRules.h"
#include "bible/KjvText.h"
#include "tools/QuestionBank.h"
#include "tools/QuestionDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {
const QByteArray Header = "Question\tAnswer1\tAnswer2\tAnswer3\tAnswer4\tTestament\tReference\n";

QStringList messagesOf(const QuestionBank &bank, BankFinding::Kind kind)
{
    QStringList out;
    for (const BankFinding &f : bank.findings())
        if (f.kind == kind)
            out << f.where + QStringLiteral(": ") + f.message;
    return out;
}
}

class tst_QuestionBank : public QObject
{
    Q_OBJECT

    std::optional<KjvText> kjv;
    std::optional<BankRules> rules;

private slots:
    void initTestCase()
    {
        QString error;
        kjv = KjvText::load(QStringLiteral(QUILLORY_SOURCE_DIR "/data/kjv.tsv.gz"), &error);
        QVERIFY2(kjv, qPrintable(error));
        QCOMPARE(kjv->books().size(), 66);
        rules.emplace(&*kjv);
    }

    void malformedLinesAreNamed()
    {
        QuestionBank bank;
        bank.parse(Header + "Only\tsix\tfields\there\tand\tOT\n"
                            "Q?\tA\tB\tC\tD\tOT\tGenesis 1:1\r\n"
                            "\xff\xfe bad bytes\tA\tB\tC\tD\tOT\tGenesis 1:1\n",
                   QStringLiteral("bank.tsv"));
        QCOMPARE(bank.rows().size(), 1);
        QCOMPARE(bank.rows()[0].reference, QStringLiteral("Genesis 1:1")); // CR stripped
        const QStringList errors = messagesOf(bank, BankFinding::Error);
        QCOMPARE(errors.size(), 2);
        QVERIFY(errors[0].startsWith(QStringLiteral("bank.tsv:2: expected 7")));
        QVERIFY(errors[1].startsWith(QStringLiteral("bank.tsv:4: not valid UTF-8")));

        QuestionBank noHeader;
        noHeader.parse("Q?\tA\tB\tC\tD\tOT\tGenesis 1:1\n", QStringLiteral("x.tsv"));
        QCOMPARE(noHeader.errorCount(), 1);
        QVERIFY(noHeader.rows().isEmpty());
    }

    void rowRulesCatchBadRows_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QString>("error"); // empty: the row is sound
        QTest::newRow("sound") << QByteArray("Who built the ark?\tNoah\tMoses\tAbraham\tLot\tOT\tGenesis 6:14") << "";
        QTest::newRow("empty answer") << QByteArray("Q?\tNoah\t\tAbraham\tLot\tOT\tGenesis 6:14") << "Answer2 is empty";
        QTest::newRow("blanks") << QByteArray("Q?\tNoah \tMoses\tAbraham\tLot\tOT\tGenesis 6:14") << "Answer1 has blanks";
        QTest::newRow("carriage return inside") << QByteArray("Who built\rthe ark?\tNoah\tMoses\tAbraham\tLot\tOT\tGenesis 6:14") << "Question holds a control character";
        QTest::newRow("same answer twice") << QByteArray("Q?\tNoah\tnoah\tAbraham\tLot\tOT\tGenesis 6:14") << "not distinct";
        QTest::newRow("long answer") << QByteArray("Q?\tNoah\t" + QByteArray(41, 'x') + "\tAbraham\tLot\tOT\tGenesis 6:14") << "longer than 40";
        QTest::newRow("meta answer") << QByteArray("Q?\tNoah\tAll of the above\tAbraham\tLot\tOT\tGenesis 6:14") << "depends on the others";
        QTest::newRow("testament") << QByteArray("Q?\tNoah\tMoses\tAbraham\tLot\tot\tGenesis 6:14") << "testament must be";
        QTest::newRow("no reference") << QByteArray("Q?\tNoah\tMoses\tAbraham\tLot\tOT\t") << "Reference is empty";
    }
    void rowRulesCatchBadRows()
    {
        QFETCH(QByteArray, row);
        QFETCH(QString, error);
        QuestionBank bank;
        bank.parse(Header + row + '\n', QStringLiteral("b.tsv"));
        bank.checkRows();
        const QStringList errors = messagesOf(bank, BankFinding::Error);
        if (error.isEmpty())
            QVERIFY2(errors.isEmpty(), qPrintable(errors.join(u'\n')));
        else
            QVERIFY2(errors.size() == 1 && errors[0].contains(error), qPrintable(errors.join(u'\n')));
    }

    void duplicatesAreFound()
    {
        QuestionBank bank;
        bank.parse(Header + "Who built the ark?\tNoah\tMoses\tAbraham\tLot\tOT\tGenesis 6:14\n"
                            "Who built the ARK\tNoah\tMoses\tAbraham\tLot\tOT\tGenesis 6:14\n"
                            "Who sent out a dove?\tNoah\tShem\tHam\tJapheth\tOT\tGenesis 6:8\n",
                   QStringLiteral("d.tsv"));
        bank.checkRows();
        QCOMPARE(messagesOf(bank, BankFinding::Error), QStringList{"d.tsv:3: the same question as d.tsv:2"});
        QCOMPARE(messagesOf(bank, BankFinding::Note).size(), 2); // same answer in the same chapter
    }

    void referencesResolveAgainstTheText_data()
    {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<int>("verses");
        QTest::newRow("verse") << "1 Samuel 17:49" << true << 1;
        QTest::newRow("range") << "Genesis 6:13-14" << true << 2;
        QTest::newRow("across chapters") << "Genesis 1:31-2:2" << true << 3;
        QTest::newRow("Psalm") << "Psalm 23:1" << true << 1;
        QTest::newRow("Song of Solomon") << "Song of Solomon 2:1" << true << 1;
        QTest::newRow("no such verse") << "Jude 1:26" << false << 0;
        QTest::newRow("no such book") << "Hezekiah 1:1" << false << 0;
        QTest::newRow("backwards") << "Genesis 6:14-13" << false << 0;
        QTest::newRow("whole chapter") << "Genesis 6" << true << 22;
        QTest::newRow("any letter case") << "1 samuel 17:49" << true << 1;
        QTest::newRow("no such chapter") << "Jude 2" << false << 0;
        QTest::newRow("malformed") << "Genesis six" << false << 0;
    }
    void referencesResolveAgainstTheText()
    {
        QFETCH(QString, reference);
        QFETCH(bool, exists);
        QFETCH(int, verses);
        QString error;
        const auto p = kjv->passage(reference, &error);
        QCOMPARE(p.has_value(), exists);
        if (p)
            QCOMPARE(p->verseCount, verses);
        else
            QVERIFY(!error.isEmpty());
    }

    void answersBorneOutByThePassage_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("reference");
        QTest::addColumn<bool>("borne");
        QTest::newRow("name") << "David" << "1 Samuel 17:49-50" << true;
        QTest::newRow("stop words ignored") << "With a sling and a stone" << "1 Samuel 17:50" << true;
        QTest::newRow("digits as words") << "969" << "Genesis 5:27" << true;
        QTest::newRow("score form") << "185000" << "2 Kings 19:35" << true;
        QTest::newRow("an hundred") << "120" << "2 Chronicles 5:12" << true;
        QTest::newRow("threescore and sixteen") << "276" << "Acts 27:37" << true;
        QTest::newRow("eleven hundred") << "1100" << "Judges 16:5" << true;
        QTest::newRow("sixscore thousand") << "120000" << "Jonah 4:11" << true;
        QTest::newRow("thrice") << "3 times" << "Matthew 26:34" << true;
        QTest::newRow("small words only") << "With all his might" << "2 Samuel 6:14" << true;
        QTest::newRow("KJV spelling of Elijah") << "Elijah" << "Matthew 17:3" << true;
        QTest::newRow("wrong number") << "950" << "Genesis 5:27" << false;
        QTest::newRow("wrong name") << "Goliath" << "Genesis 5:27" << false;
        QTest::newRow("paraphrase") << "Ten plagues" << "Exodus 12:29" << false;
    }
    void answersBorneOutByThePassage()
    {
        QFETCH(QString, answer);
        QFETCH(QString, reference);
        QString error;
        const auto p = kjv->passage(reference, &error);
        QVERIFY2(p, qPrintable(error));
        QTEST(QuestionBank::BorneOut(answer, p->text), "borne");
    }

    // Each fairness rule on a row at fault (the rule's id) and on a fair row close to it (empty).
    void fairnessRules_data()
    {
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QString>("rule");
        auto row = [](const char *name, const char *text, const char *rule) { QTest::newRow(name) << QByteArray(text) << QString::fromLatin1(rule); };
        row("a he among women", "Who hid the spies on the roof of her house?\tRahab\tMiriam\tJoshua\tDeborah\tOT\tJoshua 2:6", "gender");
        row("women only", "Who hid the spies on the roof of her house?\tRahab\tMiriam\tHannah\tDeborah\tOT\tJoshua 2:6", "");
        row("one for two", "Which two sons of Jacob slew the men of Shechem?\tSimeon and Levi\tReuben\tDan and Gad\tJudah and Asher\tOT\tGenesis 34:25", "plural");
        row("pairs", "Which two sons of Jacob slew the men of Shechem?\tSimeon and Levi\tReuben and Judah\tDan and Gad\tJudah and Asher\tOT\tGenesis 34:25", "");
        row("echo", "According to Proverbs, what sharpeneth iron?\tIron\tA whetstone\tFire\tBrass\tOT\tProverbs 27:17", "echo");
        row("no echo", "Who was swallowed by a great fish?\tJonah\tJoel\tAmos\tNahum\tOT\tJonah 1:17", "");
        row("longest", "What did Israel make for Joseph?\tA coat of many colours\tA golden ring\tA silver cup\tA chariot\tOT\tGenesis 37:3", "odd-length");
        row("only number", "How many sons had Job?\t7\tMany\tFew\tNone\tOT\tJob 1:2", "odd-form");
        row("only The", "Upon which mount shall his feet stand?\tThe mount of Olives\tMount Zion\tMount Sinai\tMount Carmel\tOT\tZechariah 14:4", "odd-form");
        row("a person for a place", "Where was Jesus born?\tBethlehem\tNazareth\tCapernaum\tPeter\tNT\tMatthew 2:1", "kind");
        row("not biblical", "Which river did Israel cross on dry ground?\tJordan\tNile\tEuphrates\tKishon\tOT\tJoshua 3:17", "name");
        row("in words", "How long did Jesus fast?\tForty days\t7 days\t12 days\t3 days\tNT\tMatthew 4:2", "number-words");
        row("separator", "How many camels had Job?\t3,000\t7000\t500\t1000\tOT\tJob 1:3", "number-words");
        row("in a question", "What did Samson tie to three hundred foxes?\tFirebrands\tBells\tThorns\tRopes\tOT\tJudges 15:4", "number-words");
        row("ordinals, quotes, the twelve", "On which day did the twelve hear \"he shall be raised again\"?\tThe third day\tThe first day\tThe second day\tThe seventh day\tNT\tMatthew 17:23", "");
        row("also true", "Who came up with Moses to the LORD?\tAaron\tNadab\tKorah\tCaleb\tOT\tExodus 24:1", "also-true");
        row("giveaway", "Who killed Sisera in her tent?\tJael\tDeborah\tMiriam\tRahab\tOT\tJudges 4:21\n"
                        "How did Jael kill Sisera?\tA tent nail\tA sword\tA millstone\tA dagger\tOT\tJudges 4:21", "giveaway");
    }
    void fairnessRules()
    {
        QFETCH(QByteArray, rows);
        QFETCH(QString, rule);
        QuestionBank bank;
        bank.parse(Header + rows + '\n', QStringLiteral("f.tsv"));
        rules->check(bank);
        QSet<QString> found;
        for (const BankFinding &f : bank.findings())
            if (f.kind == BankFinding::Error)
                found.insert(f.rule);
        QCOMPARE(found, rule.isEmpty() ? QSet<QString>{} : QSet<QString>{rule});
    }

    void reviewedExceptionsDropTheirFindingsOnly()
    {
        QuestionBank bank;
        bank.parse(Header + "According to Proverbs, what sharpeneth iron?\tIron\tA whetstone\tFire\tBrass\tOT\tProverbs 27:17\n",
                   QStringLiteral("e.tsv"));
        rules->check(bank);
        QCOMPARE(bank.applyExceptions("Rule\tQuestion\tReason\n"
                                      "echo\tAccording to Proverbs, what sharpeneth iron?\tthe verse names iron twice\n"
                                      "gender\tAccording to Proverbs, what sharpeneth iron?\tstale\n",
                                      QStringLiteral("x.tsv")),
                 1);
        QCOMPARE(messagesOf(bank, BankFinding::Error).join(u'\n'),
                 QStringLiteral("x.tsv:3: no [gender] finding on the question 'According to Proverbs, what sharpeneth iron?': drop the exception"));
    }

    void questionShapes_data()
    {
        QTest::addColumn<QString>("question");
        QTest::addColumn<int>("shape");
        QTest::addColumn<bool>("quotation");
        QTest::newRow("who") << "Joshua was the son of whom?" << int(BankRules::Who) << false;
        QTest::newRow("which king") << "Which king of Gerar took Sarah?" << int(BankRules::Who) << false;
        QTest::newRow("where") << "Children of Jews who married foreign wives spoke the speech of which city?" << int(BankRules::Where) << false;
        QTest::newRow("when") << "On which day did God make man?" << int(BankRules::When) << false;
        QTest::newRow("how many") << "How long did the flood prevail?" << int(BankRules::HowMany) << false;
        QTest::newRow("which book") << "In which book is the story of Ruth?" << int(BankRules::WhichBook) << false;
        QTest::newRow("cut by dots") << "Complete: \"To obey is better than...\"?" << int(BankRules::Other) << true;
        QTest::newRow("cut by the asking word") << "Jehu said, \"Come with me, and see my\" what?" << int(BankRules::What) << true;
    }
    void questionShapes()
    {
        QFETCH(QString, question);
        QTEST(int(BankRules::shapeOf(question)), "shape");
        QTEST(BankRules::isQuotation(question), "quotation");
    }

    void testamentMustMatchTheBook()
    {
        QuestionBank bank;
        bank.parse(Header + "Where was Jesus born?\tBethlehem\tNazareth\tJerusalem\tCana\tOT\tMatthew 2:1\n",
                   QStringLiteral("t.tsv"));
        QCOMPARE(bank.checkAgainstText(*kjv), 1);
        QCOMPARE(messagesOf(bank, BankFinding::Error), QStringList{"t.tsv:2: testament OT, but Matthew is in the NT"});
    }

    void databaseRoundTripKeepsEveryField()
    {
        QTemporaryDir dir;
        QuestionBank bank;
        bank.parse(Header.chopped(1) + "\tDifficulty\nIt's \"quoted\" & <b>marked</b>?\tA\u00e9\tB\tC\tD\tNT\tJohn 3:16\t3\n",
                   QStringLiteral("r.tsv"));
        const QString file = dir.filePath(QStringLiteral("r.mdb"));
        QuestionDatabase::Write(file, TestSupport::Password, bank.rows());
        const auto rows = QuestionDatabase::Read(file, TestSupport::Password);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].question, bank.rows()[0].question);
        QCOMPARE(rows[0].answers, bank.rows()[0].answers);
        QCOMPARE(rows[0].difficulty, 3);
        QCOMPARE(QuestionDatabase::ToText(rows), Header.chopped(1) + "\tDifficulty\n" + bank.rows()[0].question.toUtf8()
                                                     + "\tA\xc3\xa9\tB\tC\tD\tNT\tJohn 3:16\t3\n");
    }

    // The tool takes the password from a file or the environment, out of the process list, and
    // a build over an existing database that fails leaves the old one whole.
    void toolPasswordSourcesAndSafeRebuild()
    {
        QTemporaryDir dir;
        const QString bank = dir.filePath(QStringLiteral("b.tsv")), db = dir.filePath(QStringLiteral("q.mdb"));
        const QString secret = dir.filePath(QStringLiteral("secret"));
        auto write = [](const QString &path, const QByteArray &bytes) {
            QFile file(path);
            return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
        };
        QVERIFY(write(bank, Header + "Who built the ark?\tNoah\tMoses\tAbraham\tLot\tOT\tGenesis 6:14\n"));
        QVERIFY(write(secret, "from the file\n"));
        auto tool = [&](const QStringList &arguments, const QString &environment = {}) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            if (!environment.isEmpty())
                env.insert(QStringLiteral("QUILLORY_DB_PASSWORD"), environment);
            p.setProcessEnvironment(env);
            p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/quillory-db"), arguments);
            return p.waitForFinished(30000) ? p.exitCode() : -1;
        };
        QCOMPARE(tool({QStringLiteral("build"), QStringLiteral("--password-file"), secret, QStringLiteral("-o"), db, bank}), 0);
        QCOMPARE(tool({QStringLiteral("count"), db}, QStringLiteral("from the file")), 0);
        QCOMPARE(tool({QStringLiteral("count"), db}), 1); // the game's password does not open it
        const QByteArray before = TestSupport::bytesOf(db);
        QVERIFY(write(bank, Header + "Who built the ark?\t\tMoses\tAbraham\tLot\tOT\tGenesis 6:14\n"));
        QCOMPARE(tool({QStringLiteral("build"), QStringLiteral("-o"), db, bank}), 1);
        QCOMPARE(TestSupport::bytesOf(db), before);
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).size() == 3); // no temporary file left
    }
};

QUILLORY_CORE_TEST_MAIN(tst_QuestionBank)
#include "tst_questionbank.moc"
