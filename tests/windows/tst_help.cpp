// The help file reader and the help window.
#include "WindowFixture.h"

#include "help/HelpFile.h"
#include "help/HelpViewer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextBrowser>

namespace {
const QString Shipped = QStringLiteral(QUILLORY_SOURCE_DIR "/help/Quillory.hlp");
}

class tst_Help : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QWidget owner;

    QString writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? path : QString();
    }
    template <class T> T *child(const char *name) { return HelpViewer::instance()->findChild<T *>(QLatin1String(name)); }

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
        QTest::addColumn<QString>("topics"); // each as title[keywords]{body}
        QTest::newRow("titles, keywords, bodies") << QByteArray("# One\n\nKeywords: a; b ;; A\nKEYWORDS: c\n\nFirst body.\n\n# Two\nSecond.")
                                                  << "One[a,b,c]{First body.}Two[]{Second.}";
        QTest::newRow("text before the first title is a comment") << QByteArray("comment\n# One\nbody") << "One[]{body}";
        QTest::newRow("a keyword line inside the body is body") << QByteArray("# One\nbody\nKeywords: z") << "One[]{body\nKeywords: z}";
        QTest::newRow("subheadings and #words are not titles") << QByteArray("# One\n## Sub\n#tag") << "One[]{## Sub\n#tag}";
        QTest::newRow("a fenced block hides title lines") << QByteArray("# One\n```\n# code\n```\n# Two") << "One[]{```\n# code\n```}Two[]{}";
        QTest::newRow("CRLF, BOM and closing hashes") << QByteArray("\xEF\xBB\xBF# One ##\r\nKeywords: k\r\nbody\r\n") << "One[k]{body}";
        QTest::newRow("empty title") << QByteArray("#\nbody") << "Untitled[]{body}";
        QTest::newRow("invalid UTF-8 and NUL are replaced") << QByteArray("# A\xFF\0z\nb\xC3", 9)
                                                            << QString::fromUtf8("A\uFFFD\uFFFDz[]{b\uFFFD}");
        QTest::newRow("no title line") << QByteArray("just text\n\x01\x02") << "";
    }
    // A help file of any bytes splits into titled topics with keywords and bodies, or none.
    void parse()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, topics);
        const HelpFile file = HelpFile::parse(bytes);
        QString parsed;
        for (const HelpFile::Topic &t : file.topics())
            parsed += t.title + u'[' + t.keywords.join(u',') + QStringLiteral("]{") + t.body + u'}';
        QCOMPARE(parsed, topics);
        QCOMPARE(file.status(), topics.isEmpty() ? HelpFile::Status::NoTopics : HelpFile::Status::Loaded);
    }

    // Link ids are unique slugs of the titles; a link finds its topic by id or title in any case.
    void idsAreUniqueSlugsOfTitles()
    {
        const HelpFile file = HelpFile::parse("# Menus, Toolbar and Keys\n# Menus, toolbar AND keys!\n# ?!\n");
        QCOMPARE(file.topics()[0].id + u' ' + file.topics()[1].id + u' ' + file.topics()[2].id,
                 QStringLiteral("menus-toolbar-and-keys menus-toolbar-and-keys-2 topic"));
        QCOMPARE(HelpFile::findTopic(file.topics(), QStringLiteral("MENUS, TOOLBAR and keys")), 0);
        QCOMPARE(HelpFile::findTopic(file.topics(), QStringLiteral("nothing")), -1);
    }

    // The index is sorted without regard to case and names the topic of a keyword shared by several.
    void indexIsSortedAndNamesTopicsOfSharedKeywords()
    {
        const HelpFile file = HelpFile::parse("# Beta\nKeywords: points; alpha\n# Gamma\nKeywords: Points; beta\n");
        QStringList labels;
        for (const HelpFile::IndexEntry &e : HelpFile::buildIndex(file.topics()))
            labels << e.label;
        QCOMPARE(labels, (QStringList{"alpha", "Beta (Beta)", "beta (Gamma)", "Gamma", "points (Beta)", "Points (Gamma)"}));
    }

    // The shipped help file opens on its contents topic; every topic has keywords and a body, and every link works.
    void shippedFileHasTopicsKeywordsAndWorkingLinks()
    {
        const HelpFile file = HelpFile::load(Shipped);
        QCOMPARE(file.status(), HelpFile::Status::Loaded);
        QCOMPARE(file.topics().first().title, QStringLiteral("Quillory Help"));
        const QRegularExpression link(QStringLiteral("\\]\\(#([^)]*)\\)"));
        for (const HelpFile::Topic &t : file.topics()) {
            QVERIFY2(!t.keywords.isEmpty() && !t.body.isEmpty(), qPrintable(t.title));
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
    // Contents, index and using help open one modeless window on their page; the next command reuses it.
    void entryPointsOpenTheirPage()
    {
        QFETCH(int, command);
        QFETCH(int, tab);
        QFETCH(QString, title);
        HelpViewer *(*show[])(QWidget *, const QString &) = {&HelpViewer::ShowContents, &HelpViewer::ShowIndex,
                                                            &HelpViewer::ShowHelpOnHelp};
        HelpViewer *viewer = show[command](&owner, Shipped);
        QVERIFY(viewer->isVisible() && !viewer->isModal());
        QCOMPARE(child<QTabWidget>("tabHelp")->currentIndex(), tab);
        QCOMPARE(viewer->currentTopicTitle(), title);
        QVERIFY(child<QTextBrowser>("txtTopic")->toPlainText().startsWith(title));
        QCOMPARE(show[(command + 1) % 3](&owner, Shipped), viewer);
    }

    // Typing in the index narrows the keywords, Enter shows the topic, links and Back navigate.
    void indexLinksAndBackNavigate()
    {
        HelpViewer *viewer = HelpViewer::ShowIndex(&owner, Shipped);
        auto *filter = child<QLineEdit>("txtIndexFilter");
        QTest::keyClicks(filter, QStringLiteral("reset sc"));
        QCOMPARE(child<QListWidget>("lstIndex")->count(), 1);
        QTest::keyClick(filter, Qt::Key_Return);
        QCOMPARE(viewer->currentTopicTitle(), QStringLiteral("High Scores"));
        // Links look like links: underlined.
        int links = 0;
        for (QTextBlock b = child<QTextBrowser>("txtTopic")->document()->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().isAnchor()) {
                    ++links;
                    QVERIFY(it.fragment().charFormat().fontUnderline());
                }
        QVERIFY(links > 0);
        emit child<QTextBrowser>("txtTopic")->anchorClicked(QUrl(QStringLiteral("#timed-games")));
        QCOMPARE(viewer->currentTopicTitle(), QStringLiteral("Timed Games"));
        QTest::mouseClick(child<QPushButton>("cmdBack"), Qt::LeftButton);
        QCOMPARE(viewer->currentTopicTitle(), QStringLiteral("High Scores"));
    }

    void unusableFileExplainsInsteadOfABox_data()
    {
        QTest::addColumn<QString>("name"); // in a folder whose name Markdown would mangle
        QTest::addColumn<QByteArray>("bytes"); // null: no file is written
        QTest::addColumn<QString>("sentence");
        QTest::newRow("missing") << "Quillory.hlp" << QByteArray() << "could not be found.";
        QTest::newRow("a folder") << "" << QByteArray() << "could not be found.";
        QTest::newRow("empty") << "Quillory.hlp" << QByteArray("") << "holds no help topics";
        QTest::newRow("garbage") << "Quillory.hlp" << QByteArray("\xFF\xFE\0\x01garbage\x80", 12) << "holds no help topics";
    }
    // A missing or unusable help file gives an explaining page in the window and no message box;
    // the page shows the path as written, the built-in Using Help page stays, and once a good file
    // is in place the next command reads it.
    void unusableFileExplainsInsteadOfABox()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, sentence);
        const QString folder = dir.filePath(QStringLiteral("a_b\\*x* [1](y) <b>#"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + u'/' + name;
        if (!bytes.isNull())
            QCOMPARE(writeFile(path, bytes), path);
        for (auto show : {&HelpViewer::ShowIndex, &HelpViewer::ShowContents})
            QCOMPARE(show(&owner, path)->currentTopicTitle(), QStringLiteral("Help Not Available"));
        const QString text = child<QTextBrowser>("txtTopic")->toPlainText();
        QVERIFY2(text.contains(sentence) && text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
        QVERIFY(TestSupport::messages().isEmpty());
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(HelpViewer::instance()->showTopic(QStringLiteral("using-help")));
        if (!name.isEmpty()) {
            writeFile(path, "# Arrived\nKeywords: k\nNow here.");
            QCOMPARE(HelpViewer::ShowContents(&owner, path)->currentTopicTitle(), QStringLiteral("Arrived"));
        }
    }
};

QUILLORY_TEST_MAIN(tst_Help)
#include "tst_help.moc"
