// The help file reader and the help window.
#include "TestSupport.h"

#include "app/HelpFile.h"
#include "app/HelpViewer.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>

namespace {
QString shippedFile() { return QStringLiteral(QUILLORY_SOURCE_DIR "/Help/Quillory.hlp"); }

QStringList titlesOf(const QList<HelpFile::Topic> &topics)
{
    QStringList titles;
    for (const HelpFile::Topic &t : topics)
        titles << t.title;
    return titles;
}
}

class tst_Help : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QWidget owner;

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    template <class T>
    T *child(const char *name)
    {
        return HelpViewer::instance()->findChild<T *>(QString::fromLatin1(name));
    }

private slots:
    void cleanup()
    {
        if (HelpViewer::instance())
            HelpViewer::instance()->close();
        TestSupport::clearMessages();
    }

    void parse_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("keywords"); // of the first topic
        QTest::addColumn<QString>("body");         // of the first topic

        QTest::newRow("titles, keywords, bodies")
            << QByteArray("# One\nKeywords: a; b ;; A\n\nFirst body.\n\n# Two\nSecond.") << QStringList{"One", "Two"}
            << QStringList{"a", "b"} << "First body.";
        QTest::newRow("text before the first title is a comment")
            << QByteArray("comment\n# One\nbody") << QStringList{"One"} << QStringList{} << "body";
        QTest::newRow("keywords after blank lines, several lines")
            << QByteArray("# One\n\nkeywords: x\nKEYWORDS: y\nbody") << QStringList{"One"} << QStringList{"x", "y"}
            << "body";
        QTest::newRow("a keyword line inside the body is body")
            << QByteArray("# One\nbody\nKeywords: z") << QStringList{"One"} << QStringList{} << "body\nKeywords: z";
        QTest::newRow("subheadings and #words are not titles")
            << QByteArray("# One\n## Sub\n#tag") << QStringList{"One"} << QStringList{} << "## Sub\n#tag";
        QTest::newRow("a fenced block hides title lines")
            << QByteArray("# One\n```\n# code\n```\n# Two") << QStringList{"One", "Two"} << QStringList{}
            << "```\n# code\n```";
        QTest::newRow("CRLF, BOM and closing hashes")
            << QByteArray("\xEF\xBB\xBF# One ##\r\nKeywords: k\r\nbody\r\n") << QStringList{"One"}
            << QStringList{"k"} << "body";
        QTest::newRow("empty title") << QByteArray("#\nbody") << QStringList{"Untitled"} << QStringList{} << "body";
        QTest::newRow("invalid UTF-8 is replaced")
            << QByteArray("# A\xFF\0z\nb\xC3", 9) << QStringList{QString::fromUtf8("A\xEF\xBF\xBD\xEF\xBF\xBDz")}
            << QStringList{} << QString::fromUtf8("b\xEF\xBF\xBD");
        QTest::newRow("empty") << QByteArray() << QStringList{} << QStringList{} << QString();
        QTest::newRow("no title line") << QByteArray("just text\n\x01\x02") << QStringList{} << QStringList{}
                                       << QString();
    }
    void parse()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, titles);
        QFETCH(QStringList, keywords);
        QFETCH(QString, body);
        const HelpFile file = HelpFile::parse(bytes);
        QCOMPARE(titlesOf(file.topics()), titles);
        QCOMPARE(file.status(), titles.isEmpty() ? HelpFile::Status::NoTopics : HelpFile::Status::Loaded);
        if (!titles.isEmpty()) {
            QCOMPARE(file.topics().first().keywords, keywords);
            QCOMPARE(file.topics().first().body, body);
        }
    }

    void randomBytesNeverCrash()
    {
        QRandomGenerator random(20240607);
        for (int round = 0; round < 200; ++round) {
            QByteArray bytes(int(random.bounded(4000)), Qt::Uninitialized);
            for (char &c : bytes)
                c = char(random.bounded(256));
            if (round % 2) // plenty of lines that look like titles and keywords
                bytes.replace('\x01', "\n# ").replace('\x02', "\nKeywords:;;").replace('\x03', "\n```");
            const HelpFile file = HelpFile::parse(bytes);
            const auto index = HelpFile::buildIndex(file.topics());
            for (const HelpFile::IndexEntry &e : index)
                QVERIFY(e.topic >= 0 && e.topic < file.topics().size());
        }
    }

    void loadReportsWhyThereAreNoTopics()
    {
        QCOMPARE(HelpFile::load(dir.filePath("none.hlp")).status(), HelpFile::Status::Missing);
        QCOMPARE(HelpFile::load(dir.path()).status(), HelpFile::Status::Missing);
        QCOMPARE(HelpFile::load(QString()).status(), HelpFile::Status::Missing);
        QCOMPARE(HelpFile::load(writeFile("empty.hlp", {})).status(), HelpFile::Status::NoTopics);
        QCOMPARE(HelpFile::load(writeFile("one.hlp", "# T\n")).topics().size(), 1);
    }

    void idsAreUniqueSlugsOfTitles()
    {
        const HelpFile file = HelpFile::parse("# Menus, Toolbar and Keys\n# Menus, toolbar AND keys!\n# ?!\n");
        QCOMPARE(file.topics()[0].id, QStringLiteral("menus-toolbar-and-keys"));
        QCOMPARE(file.topics()[1].id, QStringLiteral("menus-toolbar-and-keys-2"));
        QCOMPARE(file.topics()[2].id, QStringLiteral("topic"));
        QCOMPARE(HelpFile::findTopic(file.topics(), QStringLiteral("MENUS, TOOLBAR and keys")), 0);
        QCOMPARE(HelpFile::findTopic(file.topics(), QStringLiteral("nothing")), -1);
    }

    void indexIsSortedAndNamesTopicsOfSharedKeywords()
    {
        const HelpFile file = HelpFile::parse("# Beta\nKeywords: points; alpha\n# Gamma\nKeywords: Points; beta\n");
        QStringList labels;
        for (const HelpFile::IndexEntry &e : HelpFile::buildIndex(file.topics()))
            labels << e.label;
        QCOMPARE(labels, (QStringList{"alpha", "Beta (Beta)", "beta (Gamma)", "Gamma", "points (Beta)", "Points (Gamma)"}));
    }

    void escapedTextShowsAsWritten()
    {
        QTextDocument doc;
        const QString text = QStringLiteral("C:\\a_b\\*x*\\[1](y) <b>#");
        doc.setMarkdown(HelpFile::escapeMarkdown(text));
        QCOMPARE(doc.toPlainText().trimmed(), text);
    }

    void shippedFileHasTopicsKeywordsAndWorkingLinks()
    {
        const HelpFile file = HelpFile::load(shippedFile());
        QCOMPARE(file.status(), HelpFile::Status::Loaded);
        QCOMPARE(file.topics().first().title, QStringLiteral("Quillory Help"));
        QVERIFY(file.topics().size() >= 10 && file.topics().size() <= 15);
        const QRegularExpression link(QStringLiteral("\\]\\(#([^)]*)\\)"));
        for (const HelpFile::Topic &t : file.topics()) {
            QVERIFY2(!t.keywords.isEmpty(), qPrintable(t.title));
            QVERIFY2(!t.body.isEmpty(), qPrintable(t.title));
            for (const auto &m : link.globalMatch(t.body))
                QVERIFY2(HelpFile::findTopic(file.topics(), m.captured(1)) >= 0, qPrintable(m.captured(1)));
        }
    }

    void entryPointsOpenTheirPage_data()
    {
        QTest::addColumn<int>("command"); // 0 contents, 1 index, 2 using help
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("title");
        QTest::newRow("contents") << 0 << 0 << "Quillory Help";
        QTest::newRow("index") << 1 << 1 << "Quillory Help";
        QTest::newRow("using help") << 2 << 0 << "Using Help";
    }
    void entryPointsOpenTheirPage()
    {
        QFETCH(int, command);
        QFETCH(int, tab);
        QFETCH(QString, title);
        HelpViewer *(*show[])(QWidget *, const QString &) = {&HelpViewer::ShowContents, &HelpViewer::ShowIndex,
                                                            &HelpViewer::ShowHelpOnHelp};
        HelpViewer *viewer = show[command](&owner, shippedFile());
        QVERIFY(viewer && viewer->isVisible() && !viewer->isModal());
        QCOMPARE(viewer->objectName(), QStringLiteral("HelpViewer"));
        QCOMPARE(viewer->windowTitle(), QStringLiteral("Quillory Help"));
        QCOMPARE(child<QTabWidget>("tabHelp")->currentIndex(), tab);
        QCOMPARE(viewer->currentTopicTitle(), title);
        QVERIFY(child<QTextBrowser>("txtTopic")->toPlainText().startsWith(title));
        QCOMPARE(show[(command + 1) % 3](&owner, shippedFile()), viewer); // one window, reused
    }

    void typingInTheIndexFindsATopic()
    {
        HelpViewer::ShowIndex(&owner, shippedFile());
        auto *filter = child<QLineEdit>("txtIndexFilter");
        auto *list = child<QListWidget>("lstIndex");
        QTest::keyClicks(filter, QStringLiteral("reset sc"));
        QCOMPARE(list->count(), 1);
        QTest::keyClick(filter, Qt::Key_Return);
        QCOMPARE(HelpViewer::instance()->currentTopicTitle(), QStringLiteral("High Scores"));
        filter->clear();
        QCOMPARE(list->count(), HelpFile::buildIndex(HelpViewer::instance()->topics()).size());
    }

    void linksAndBackNavigate()
    {
        HelpViewer *viewer = HelpViewer::ShowContents(&owner, shippedFile());
        auto *browser = child<QTextBrowser>("txtTopic");
        emit browser->anchorClicked(QUrl(QStringLiteral("#timed-games")));
        QCOMPARE(viewer->currentTopicTitle(), QStringLiteral("Timed Games"));
        QTest::mouseClick(child<QPushButton>("cmdBack"), Qt::LeftButton);
        QCOMPARE(viewer->currentTopicTitle(), QStringLiteral("Quillory Help"));
    }

    void unusableFileExplainsInsteadOfABox_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // empty name: no file at all
        QTest::addColumn<QString>("sentence");
        QTest::newRow("missing") << QByteArray() << "could not be found.";
        QTest::newRow("empty") << QByteArray("") << "holds no help topics";
        QTest::newRow("garbage") << QByteArray("\xFF\xFE\0\x01garbage\x80", 12) << "holds no help topics";
    }
    void unusableFileExplainsInsteadOfABox()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, sentence);
        const QString path = bytes.isNull() ? dir.filePath("gone/Quillory.hlp") : writeFile("bad.hlp", bytes);
        for (auto show : {&HelpViewer::ShowIndex, &HelpViewer::ShowContents}) {
            HelpViewer *viewer = show(&owner, path);
            QVERIFY(viewer->isVisible());
            QCOMPARE(viewer->currentTopicTitle(), QStringLiteral("Help Not Available"));
        }
        const QString text = child<QTextBrowser>("txtTopic")->toPlainText();
        QVERIFY2(text.contains(sentence) && text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
        QVERIFY(TestSupport::messages().isEmpty());
        QVERIFY(!QApplication::activeModalWidget());
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<QMessageBox *>(w));
        QVERIFY(HelpViewer::instance()->showTopic(QStringLiteral("using-help"))); // the built-in page stays
    }

    void aFixedFileIsReadAgain()
    {
        const QString path = dir.filePath("later.hlp");
        QFile::remove(path);
        HelpViewer *viewer = HelpViewer::ShowContents(&owner, path);
        QCOMPARE(viewer->currentTopicTitle(), QStringLiteral("Help Not Available"));
        writeFile("later.hlp", "# Arrived\nKeywords: k\nNow here.");
        HelpViewer::ShowContents(&owner, path);
        QCOMPARE(viewer->currentTopicTitle(), QStringLiteral("Arrived"));
    }
};

QUILLORY_TEST_MAIN(tst_Help)
#include "tst_help.moc"
