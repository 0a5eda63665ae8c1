// Questions of one's own: the reader's dialects and refusals, the preview's reasons, the import
// in one transaction, the upgrade of a database of the first shape, sets kept by compact and
// repair, the export's round trip and its guard against formulas.
#include "TestSupport.h"

#include "bible/KjvText.h"
#include "core/Progress.h"
#include "db/Database.h"
#include "db/DatabaseFile.h"
#include "db/Statement.h"
#include "game/QuestionDeck.h"
#include "import/QuestionExport.h"
#include "import/QuestionImport.h"
#include "import/QuestionSets.h"

#include <QFile>
#include <QTemporaryDir>

using namespace TestSupport;

namespace {
const QByteArray Header = "Question,Answer1,Answer2,Answer3,Answer4,Testament,Reference,Difficulty\n";

const KjvText &kjv()
{
    static const KjvText text = *KjvText::load(QStringLiteral(QUILLORY_SOURCE_DIR "/data/kjv.tsv.gz"), nullptr);
    return text;
}

QuestionImport::Preview check(const QByteArray &file, const QSet<QString> &existing = {})
{
    return QuestionImport::CheckText(file, kjv(), existing);
}

// Stops the work at its first step.
struct Stop : Progress
{
    void start(const QString &, bool) override {}
    bool step(const QString &, qint64, qint64) override { return false; }
    void finish() override {}
};

QStringList setsOf(const QString &path)
{
    auto db = Database::open(path, Password);
    QStringList out;
    for (const QuestionSets::Set &s : QuestionSets::List(*db))
        out << QStringLiteral("%1:%2").arg(s.name).arg(s.count);
    return out;
}
}

class tst_Import : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void readerDialects_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("line"); // of the question
        QTest::newRow("comma, quoted separators and quotes") << Header + "\"Who said \"\"Go, and sin no more\"\"?\",Jesus,Peter,John,Paul,NT,John 8:11,2\n" << 2;
        QTest::newRow("semicolon, BOM, CR LF, any column order and case")
            << QByteArray("\xEF\xBB\xBFreference;answer 1;Answer2;ANSWER3;Answer4;Question;Difficulty\r\n\r\n"
                          "John 8:11;Jesus;Peter;John;Paul;\"Who said \"\"Go, and sin no more\"\"?\";2\r\n") << 3;
        QTest::newRow("tab, no final line break, extra column and empty cells")
            << QByteArray("Notes\tQuestion\tAnswer1\tAnswer2\tAnswer3\tAnswer4\tTestament\tReference\tDifficulty\n"
                          "x\tWho said \"Go, and sin no more\"?\tJesus\tPeter\tJohn\tPaul\tNT\tJohn 8:11\t2\t\t") << 2;
        QTest::newRow("line breaks in a quoted cell, old Mac line ends")
            << QByteArray("Question,Answer1,Answer2,Answer3,Answer4,Testament,Reference,Difficulty\r\"Who\r\nsaid \"\"Go,\n"
                          "and sin no more\"\"?\",Jesus,Peter,John,Paul,,John 8:11,medium\r") << 2;
    }
    // Every dialect a spreadsheet writes reads as the same question, on the line it starts.
    void readerDialects()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, line);
        const QuestionImport::Preview p = check(file);
        QVERIFY2(p.error.isEmpty() && p.problems.isEmpty(), qPrintable(p.error + p.problems.value(0).reason));
        QCOMPARE(p.rows.size(), 1);
        QCOMPARE(p.rows[0].cells(), (QStringList{"Who said \"Go, and sin no more\"?", "Jesus", "Peter", "John", "Paul", "NT", "John 8:11", "2"}));
        QCOMPARE(p.rows[0].where, QString::number(line));
    }

    void badFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << QByteArray("\xEF\xBB\xBF \r\n\n") << "The file is empty.";
        QTest::newRow("only a header") << Header << "The file holds only its header line, no questions.";
        QTest::newRow("not text") << Header + QByteArray("Q,A,B\0,C", 8) << "The file is not a text file (line 2 holds a zero byte).";
        QTest::newRow("not UTF-8") << Header + "\n\nQu\xE9stion,A,B,C,D,,Ruth 1:1," << "The file is not UTF-8 text: line 4 holds";
        QTest::newRow("overlong UTF-8") << Header + "\xC0\xAF" << "The file is not UTF-8 text: line 2 holds";
        QTest::newRow("UTF-16") << QByteArray("\xFF\xFEQ\0u\0", 6) << "The file is UTF-16 text";
        QTest::newRow("unbalanced quote") << Header + "Q,A,B,C,D,,Ruth 1:1,\n\"Q,A,B,C\n\n" << "A quotation mark opened on line 3 is never closed.";
        QTest::newRow("a cell of 100,000 characters") << Header + QByteArray(100000, 'x') << "A cell starting on line 2 holds more than 10000";
        QTest::newRow("a row of 100 cells") << Header + QByteArray(100, ',') << "Line 2 has more than 64 cells";
        QTest::newRow("columns missing") << QByteArray("Question;Answer1;Testament\nQ;A;OT\n") << "it lacks Answer2, Answer3, Answer4, Reference.";
        QTest::newRow("a column twice") << QByteArray("Question,question\n") << "The header on line 1 names the column Question twice.";
    }
    // A file that cannot be a question list is refused whole, with its reason, and no row.
    void badFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, error);
        const QuestionImport::Preview p = check(file);
        QVERIFY2(p.error.startsWith(error) || p.error.endsWith(error), qPrintable(p.error));
        QVERIFY(p.rows.isEmpty() && p.problems.isEmpty());
    }

    // A file larger than the limit is refused before it is read.
    void largeFileIsRefused()
    {
        QFile file(dir.filePath(QStringLiteral("large.csv")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(50LL * 1024 * 1024));
        file.close();
        const QuestionImport::Preview p = QuestionImport::CheckFile(file.fileName(), kjv(), {});
        QCOMPARE(p.error, QStringLiteral("The file is too large to import: 50.0 MB, and a question file may have at most 32 MB."
                                         " Split it into smaller files."));
    }

    void rowReasons_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QString>("reason"); // empty: the row is imported
        QTest::newRow("testament from the book") << QByteArray("Q,A,B,C,D,,Ruth 1:16,") << "";
        QTest::newRow("testament in words") << QByteArray("Q,A,B,C,D,new testament,John 1:1,1") << "";
        QTest::newRow("formula guard undone") << QByteArray("'=Q,'-1,'+2,'@C,''=D,OT,Ruth 1:1,") << "";
        QTest::newRow("empty field") << QByteArray("Q,A,  ,C,D,OT,Ruth 1:1,") << "Answer2 is empty";
        QTest::newRow("two equal answers") << QByteArray("Q,Naomi,B,naomi ,D,OT,Ruth 1:1,") << "Answer1 and Answer3 are the same answer ('naomi')";
        QTest::newRow("answer too long") << "Q,A,B,C," + QByteArray(41, 'd') + ",OT,Ruth 1:1,"
                                         << "Answer4 is too long for its button: 41 characters, at most 40";
        QTest::newRow("unknown book") << QByteArray("Q,A,B,C,D,,Hezekiah 1:1,") << "reference 'Hezekiah 1:1' names no book of the Bible";
        QTest::newRow("no such chapter") << QByteArray("Q,A,B,C,D,,Ruth 5:1,") << "reference 'Ruth 5:1': Ruth has no chapter 5";
        QTest::newRow("no such verse") << QByteArray("Q,A,B,C,D,,Ruth 1:99,") << "reference 'Ruth 1:99': Ruth 1 has no verse 99";
        QTest::newRow("testament against the book") << QByteArray("Q,A,B,C,D,NT,Ruth 1:1,") << "the testament is NT, but Ruth is in the Old Testament";
        QTest::newRow("unknown testament") << QByteArray("Q,A,B,C,D,BT,Ruth 1:1,") << "Testament must be OT or NT, or left empty, not 'BT'";
        QTest::newRow("unknown difficulty") << QByteArray("Q,A,B,C,D,OT,Ruth 1:1,4") << "Difficulty must be 1 (easy), 2 (medium) or 3 (hard), or left empty, not '4'";
        QTest::newRow("control character") << QByteArray("Q\x07,A,B,C,D,OT,Ruth 1:1,") << "Question holds a control character";
        QTest::newRow("cells beyond the header") << QByteArray("Q,A,B,C,D,OT,Ruth 1:1,,x") << "the line has 9 cells, the header only 8";
        QTest::newRow("reasons together") << QByteArray(",A,A,C,D,,,") << "Question is empty; Reference is empty; Answer1 and Answer2 are the same answer ('A')";
        QTest::newRow("already in the database") << QByteArray("question  1,RIGHT 1,B,C,D,OT,Genesis 1:1,") << "the question is already in the database";
        QTest::newRow("twice in the file") << QByteArray("Q,A,B,C,D,OT,Ruth 1:1,\nq,a,X,Y,Z,OT,Ruth 1:2,") << "the same question as line 2";
    }
    // Each bad row is listed with its line and every reason in plain words; duplicates are
    // skipped and counted apart.
    void rowReasons()
    {
        QFETCH(QByteArray, row);
        QFETCH(QString, reason);
        const QuestionImport::Preview p = check(Header + row, {QuestionImport::Key(QStringLiteral("Question 1"), QStringLiteral("Right 1"))});
        QVERIFY(p.error.isEmpty());
        const QList<QuestionImport::RowNote> notes = p.problems + p.duplicates;
        QCOMPARE(notes.size(), reason.isEmpty() ? 0 : 1);
        QCOMPARE(p.rows.size() + notes.size(), p.total);
        if (!reason.isEmpty())
            QCOMPARE(notes[0].reason, reason);
        if (QTest::currentDataTag() == QByteArray("formula guard undone"))
            QCOMPARE(p.rows[0].cells().mid(0, 5), (QStringList{"=Q", "-1", "+2", "@C", "'=D"}));
    }

    // A database of the first shape (no sets, no difficulty, format 0) plays as the built-in
    // questions; it is brought up to date by its first write, in the same transaction: a write
    // that is stopped leaves the old shape. Compact and repair keep the sets.
    void upgradeOnFirstWriteAndSetsKeptByMaintenance()
    {
        const QString path = makeDatabase(dir.filePath(QStringLiteral("old.mdb")), sampleRows(300));
        execSql(path, QStringLiteral("CREATE TABLE t (ID INTEGER PRIMARY KEY, Question TEXT, Answer1 TEXT, Answer2 TEXT, Answer3 TEXT,"
                                     " Answer4 TEXT, Testament TEXT, Reference TEXT, Sort INTEGER); INSERT INTO t SELECT ID, Question,"
                                     " Answer1, Answer2, Answer3, Answer4, Testament, Reference, Sort FROM tblQuillory;"
                                     " DROP TABLE tblQuillory; ALTER TABLE t RENAME TO tblQuillory; PRAGMA user_version = 0"));
        const QByteArray old = bytesOf(path);
        QCOMPARE(setsOf(path), QStringList{":300"});
        const QList<QuestionRow> mine = check(Header + "Q,A,B,C,D,,Ruth 1:16,3\n").rows;
        Stop stop;
        QCOMPARE(QuestionImport::Import(*Database::open(path, Password), mine, QStringLiteral("Mine"), &stop), -1);
        QCOMPARE(bytesOf(path), old);

        QCOMPARE(QuestionImport::Import(*Database::open(path, Password), mine, QStringLiteral("Mine"), nullptr), 1);
        {
            auto db = Database::open(path, Password);
            QVERIFY(db->columns(QStringLiteral("tblQuillory")).contains(QStringLiteral("QuestionSet")));
            Statement version(db->handle(), QStringLiteral("PRAGMA user_version"));
            QVERIFY(version.step() && version.int64(0) == 1);
        }
        const QStringList sets{":300", "Mine:1"};
        QCOMPARE(setsOf(path), sets);
        DatabaseFile(path, Password).compact(dir.filePath(QStringLiteral("t1.mdb")));
        QCOMPARE(setsOf(path), sets);
        QByteArray bytes = bytesOf(path); // a damaged page: repair salvages row by row
        for (qsizetype i = bytes.size() / 2; i < bytes.size() / 2 + 16; ++i)
            bytes[i] = char(bytes[i] ^ 0x5a);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        const DatabaseFile::RepairResult repaired = DatabaseFile(path, Password).repair(dir.filePath(QStringLiteral("t2.mdb")));
        QVERIFY(repaired.salvaged);
        QVERIFY2(setsOf(path).contains(QStringLiteral("Mine:1")), qPrintable(setsOf(path).join(u' ')));
    }

    // Exported CSV imports back to the same rows; cells a spreadsheet would run as formulas are
    // guarded by an apostrophe, and only those.
    void exportRoundTripAndFormulaCells()
    {
        QList<QuestionRow> rows = check(Header + "=1+1,+2,-3,@SUM(A1),''=4,,Ruth 1:1,1\n"
                                                  "\"He said \"\"no; not so\"\", and went\",'tis,A b,\" c\",d,OT,Ruth 1:2,\n").rows;
        QCOMPARE(rows.size(), 2);
        const QByteArray csv = QuestionExport::Csv(rows);
        QVERIFY(csv.startsWith("\xEF\xBB\xBFQuestion,Answer1,"));
        QVERIFY2(csv.contains("'=1+1,'+2,'-3,'@SUM(A1),''=4,OT,Ruth 1:1,1\r\n"), csv.constData());
        QVERIFY2(csv.contains("\"He said \"\"no; not so\"\", and went\",'tis,A b,c,d,OT,Ruth 1:2,\r\n"), csv.constData());
        QCOMPARE(QuestionExport::Cell(QStringLiteral("\tx")), QStringLiteral("\"'\tx\""));
        QCOMPARE(QuestionExport::Cell(QStringLiteral("\r")), QStringLiteral("\"'\r\""));
        const QList<QuestionRow> again = check(csv).rows;
        QCOMPARE(again.size(), rows.size());
        for (qsizetype i = 0; i < rows.size(); ++i)
            QCOMPARE(again[i].cells(), rows[i].cells());
    }
};

QUILLORY_CORE_TEST_MAIN(tst_Import)
#include "tst_import.moc"
