// The question-database engine: keys, damaged files, record sets, clones and edits.
#include "TestSupport.h"

#include "db/DataControl.h"
#include "db/DatabaseLocation.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "core/RunTimeError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {
int errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const RunTimeError &e) {
        return e.number();
    }
    return 0;
}
}

class tst_Engine : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }

private slots:
    void badFilesAreErrorsNotCrashes_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("error");
        QTest::newRow("missing file") << "missing" << int(Err::CantOpen);
        QTest::newRow("folder") << "folder" << int(Err::CantOpen);
        QTest::newRow("missing table") << "notable" << int(Err::TableNotFound);
        QTest::newRow("bad record source") << "source" << int(Err::BadRecordSource);
        QTest::newRow("missing sort field") << "nosort" << int(Err::FieldNotFound);
    }
    void badFilesAreErrorsNotCrashes()
    {
        QFETCH(QString, kind);
        QFETCH(int, error);
        const QString file = path(kind + QStringLiteral(".mdb"));
        QString source = QStringLiteral("tblQuillory");
        if (kind == u"folder") {
            QDir().mkpath(file);
        } else if (kind == u"notable") {
            TestSupport::makeDatabase(file, TestSupport::sampleRows(3));
            TestSupport::execSql(file, QStringLiteral("DROP TABLE tblQuillory"));
        } else if (kind == u"source") {
            TestSupport::makeDatabase(file, TestSupport::sampleRows(3));
            source = QStringLiteral("select * from tblQuillory; drop table tblQuillory");
        } else if (kind == u"nosort") {
            TestSupport::makeDatabase(file, TestSupport::sampleRows(3));
            source = QStringLiteral("select * from tblQuillory order by Shuffle");
        }
        DataControl dat;
        dat.Connect = QString::fromLatin1(basMain::ConnectString);
        dat.DatabaseName = file;
        dat.RecordSource = source;
        QCOMPARE(errorOf([&] { dat.Refresh(); }), error);
        QVERIFY(!dat.isOpen());
        QCOMPARE(errorOf([&] { dat.recordset(); }), int(Err::NotOpen));
    }

    void cursorMovesLikeTheGameExpects()
    {
        const QString file = path(QStringLiteral("moves.mdb"));
        TestSupport::makeDatabase(file, TestSupport::sampleRows(3));
        DataControl dat;
        TestSupport::openControl(dat, file);
        Recordset &rs = dat.recordset();
        QCOMPARE(rs.RecordCount(), 3);
        QCOMPARE(rs.FieldText(QStringLiteral("Question")), QStringLiteral("Question 1"));
        rs.MoveNext();
        rs.MoveNext();
        QCOMPARE(rs.FieldText(QStringLiteral("answer1")), QStringLiteral("Right 3")); // names ignore case
        rs.MoveNext();
        QVERIFY(rs.EOF_());
        QCOMPARE(errorOf([&] { rs.FieldText(QStringLiteral("Question")); }), int(Err::NoCurrentRecord));
        QCOMPARE(errorOf([&] { rs.MoveNext(); }), int(Err::NoCurrentRecord));
        rs.MovePrevious(); // from past the end back onto the last row
        QCOMPARE(rs.FieldText(QStringLiteral("Question")), QStringLiteral("Question 3"));
        rs.MoveFirst();
        rs.MovePrevious();
        QVERIFY(rs.BOF());
        QCOMPARE(errorOf([&] { rs.MovePrevious(); }), int(Err::NoCurrentRecord));
        QCOMPARE(errorOf([&] { rs.Field(QStringLiteral("Nope")); }), int(Err::FieldNotFound));
    }

    void nullsAreNullAndFailAsText()
    {
        const QString file = path(QStringLiteral("nulls.mdb"));
        TestSupport::makeDatabase(file, TestSupport::sampleRows(2));
        TestSupport::execSql(file, QStringLiteral("UPDATE tblQuillory SET Answer3 = NULL, Reference = NULL WHERE rowid = 1"));
        DataControl dat;
        TestSupport::openControl(dat, file);
        Recordset &rs = dat.recordset();
        QVERIFY(rs.Field(QStringLiteral("Answer3")).isNull());
        QCOMPARE(errorOf([&] { rs.FieldText(QStringLiteral("Answer3")); }), int(Err::InvalidUseOfNull));
        QCOMPARE(errorOf([&] { rs.FieldText(QStringLiteral("Reference")); }), int(Err::InvalidUseOfNull));
        QCOMPARE(rs.FieldText(QStringLiteral("Answer2")), QStringLiteral("Wrong 1a"));
    }

    void cloneEditsReachTheFileAndTheNextRefresh()
    {
        const QString file = path(QStringLiteral("edits.mdb"));
        TestSupport::makeDatabase(file, TestSupport::sampleRows(3));
        DataControl dat;
        TestSupport::openControl(dat, file);
        auto clone = dat.recordset().Clone();
        QCOMPARE(errorOf([&] { clone->SetField(QStringLiteral("Sort"), 1); }), int(Err::NoEdit));
        QCOMPARE(errorOf([&] { clone->Update(); }), int(Err::NoEdit));
        int sort = 3;
        for (clone->MoveFirst(); !clone->EOF_(); clone->MoveNext()) {
            clone->Edit();
            clone->SetField(QStringLiteral("Sort"), sort--);
            clone->Update();
        }
        QCOMPARE(errorOf([&] { clone->Edit(); }), int(Err::NoCurrentRecord));
        // The control's own record set is untouched by the clone's moves.
        QCOMPARE(dat.recordset().FieldText(QStringLiteral("Question")), QStringLiteral("Question 1"));
        dat.RecordSource = QStringLiteral("select * from tblQuillory order by Sort");
        dat.Refresh();
        QCOMPARE(dat.recordset().FieldText(QStringLiteral("Question")), QStringLiteral("Question 3"));
        // Values with quotes and markup are stored as given, never as SQL.
        Recordset &rs = dat.recordset();
        rs.Edit();
        rs.SetField(QStringLiteral("Question"), QStringLiteral("It's \"<b>bold</b>\"; DROP TABLE tblQuillory;--"));
        rs.Update();
        dat.Refresh();
        QCOMPARE(dat.recordset().FieldText(QStringLiteral("Question")),
                 QStringLiteral("It's \"<b>bold</b>\"; DROP TABLE tblQuillory;--"));
    }

    void recordSourceForms_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("order");
        QTest::addColumn<bool>("descending");
        QTest::newRow("table") << "tblQuillory" << "tblQuillory" << "" << false;
        QTest::newRow("query") << "select * from tblQuillory order by Sort" << "tblQuillory" << "Sort" << false;
        QTest::newRow("upper case, desc") << "SELECT * FROM t ORDER BY x DESC;" << "t" << "x" << true;
        QTest::newRow("no order") << "select * from t" << "t" << "" << false;
    }
    void recordSourceForms()
    {
        QFETCH(QString, source);
        const auto parsed = DataControl::parseRecordSource(source);
        QTEST(parsed.table, "table");
        QTEST(parsed.orderBy, "order");
        QTEST(parsed.descending, "descending");
    }

    void databaseLocation_data()
    {
        QTest::addColumn<QString>("present"); // which of beside, own, pristine exist ("bad": a pristine that is no database)
        QTest::addColumn<QString>("chosen");  // which is played from, "" for none
        QTest::addColumn<int>("error");
        QTest::newRow("beside the program first") << "beside own pristine" << "program/Quillory.mdb" << 0;
        QTest::newRow("the player's own copy next") << "own pristine" << "user/Quillory.mdb" << 0;
        QTest::newRow("first start: a copy of the pristine one") << "pristine" << "user/Quillory.mdb" << 0;
        QTest::newRow("nothing anywhere") << "" << "" << 0;
        QTest::newRow("a damaged pristine copy is not copied") << "bad" << "" << int(Err::NotADatabase);
    }
    // Beside the program, else the player's own copy, else one made from the installed pristine
    // database, which is never written; without any, the path looked for last is the pristine one.
    void databaseLocation()
    {
        QFETCH(QString, present);
        QFETCH(QString, chosen);
        QFETCH(int, error);
        QTemporaryDir root;
        for (const char *folder : {"program", "user/deeper", "installed"})
            QDir().mkpath(root.filePath(QLatin1String(folder)));
        const QString user = root.filePath(QStringLiteral("user/deeper/Quillory")); // made when needed
        if (present.contains(u"beside"))
            TestSupport::makeDatabase(root.filePath(QStringLiteral("program/Quillory.mdb")), TestSupport::sampleRows(1));
        if (present.contains(u"own"))
            TestSupport::makeDatabase(root.filePath(QStringLiteral("user/Quillory.mdb")), TestSupport::sampleRows(1));
        const QString pristine = root.filePath(QStringLiteral("installed/Quillory.mdb"));
        if (present.contains(u"pristine"))
            TestSupport::makeDatabase(pristine, TestSupport::sampleRows(2));
        if (present == u"bad") {
            QFile bad(pristine);
            QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write(QByteArray(4096, 'x')) == 4096);
        }
        const QByteArray before = TestSupport::bytesOf(pristine);
        const QString userFolder = present.contains(u"own") ? root.filePath(QStringLiteral("user")) : user;
        DatabaseLocation::Choice choice;
        QCOMPARE(errorOf([&] { choice = DatabaseLocation::Choose(root.filePath(QStringLiteral("program")),
                                                                root.filePath(QStringLiteral("installed")), userFolder,
                                                                TestSupport::Password); }), error);
        QCOMPARE(QDir(root.path()).relativeFilePath(choice.path).remove(QStringLiteral("deeper/Quillory/")), chosen);
        QCOMPARE(choice.created, present == u"pristine");
        if (chosen.isEmpty() && !error)
            QCOMPARE(choice.lookedFor, pristine);
        if (choice.created)
            QCOMPARE(TestSupport::bytesOf(choice.path), before);
        QVERIFY(!QFileInfo::exists(user + QStringLiteral("/Quillory.mdb")) || choice.created);
        QCOMPARE(TestSupport::bytesOf(pristine), before);
    }

    void passwordComesFromTheConnectString()
    {
        QCOMPARE(DataControl::passwordOf(QStringLiteral(";pwd=kelpy47")), QStringLiteral("kelpy47"));
        QCOMPARE(DataControl::passwordOf(QStringLiteral("MS Access; PWD=a=b")), QStringLiteral("a=b"));
        QCOMPARE(DataControl::passwordOf(QStringLiteral(";uid=x")), QString());
    }
};

QUILLORY_CORE_TEST_MAIN(tst_Engine)
#include "tst_engine.moc"
