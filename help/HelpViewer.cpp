#include "help/HelpViewer.h"

#include "core/DataFiles.h"
#include "core/Log.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QPointer<HelpViewer> &theViewer()
{
    static QPointer<HelpViewer> viewer;
    return viewer;
}

enum { ContentsTab = 0, IndexTab = 1 };

// The page about this window itself; it is part of the viewer, so it is there even without a
// help file.
HelpFile::Topic usingHelpTopic()
{
    HelpFile::Topic topic;
    topic.title = HelpViewer::UsingHelpTitle();
    topic.id = HelpFile::topicId(topic.title);
    topic.keywords = {QStringLiteral("help, using"), QStringLiteral("contents"), QStringLiteral("index"),
                      QStringLiteral("searching"), QStringLiteral("finding a topic"), QStringLiteral("Back button")};
    topic.body = QStringLiteral(
        "This window shows the help for Quillory. It stays open beside the game, so you can read and "
        "play at the same time.\n"
        "\n"
        "## Contents\n"
        "\n"
        "The **Contents** tab lists every help topic. Click a topic, or move through the list with the "
        "arrow keys, to read it on the right. The first topic is a good place to start.\n"
        "\n"
        "## Index and searching\n"
        "\n"
        "The **Index** tab lists keywords in alphabetical order. To find something:\n"
        "\n"
        "1. Type a word, or its first few letters, in the box at the top, for example *score*.\n"
        "2. The list shrinks to the keywords that contain what you typed. The up and down arrow keys "
        "move through it while you type.\n"
        "3. Click a keyword, or press **Enter**, or choose **Display**, to read its topic.\n"
        "\n"
        "A keyword that belongs to several topics appears once for each, with the topic's name in "
        "brackets.\n"
        "\n"
        "## Moving around\n"
        "\n"
        "- Underlined words are links: click one to jump to that topic.\n"
        "- **Back** returns to the topic you read before.\n"
        "- **Close**, or the **Esc** key, closes the help window. The game carries on.\n"
        "\n"
        "## Opening help from the game\n"
        "\n"
        "- **Help Contents** on the **Help** menu, or the **F1** key, opens the first topic.\n"
        "- **Help Topics** opens the index.\n"
        "- **Using Help** opens this page.\n");
    return topic;
}

HelpFile::Topic noticeTopic(HelpFile::Status status, const QString &path)
{
    const QString file = QStringLiteral("**") + HelpFile::escapeMarkdown(QDir::toNativeSeparators(path))
        + QStringLiteral("**");
    QString problem;
    switch (status) {
    case HelpFile::Status::Unreadable:
        problem = QStringLiteral("The help file %1 could not be opened.").arg(file);
        break;
    case HelpFile::Status::NoTopics:
        problem = QStringLiteral("The help file %1 holds no help topics. It may be empty or damaged.").arg(file);
        break;
    default:
        problem = QStringLiteral("The help file %1 could not be found.").arg(file);
        break;
    }
    HelpFile::Topic topic;
    topic.title = QStringLiteral("Help Not Available");
    topic.id = HelpFile::topicId(topic.title);
    topic.body = problem
        + QStringLiteral(
              "\n\n"
              "The game itself works as usual; only these help pages are missing. Quillory looks for "
              "its help file, Quillory.hlp, at the place named above. If Quillory was moved or copied, "
              "the help file may have been left behind.\n"
              "\n"
              "The page [Using Help](#%1) still explains this window.\n")
              .arg(HelpFile::topicId(HelpViewer::UsingHelpTitle()));
    return topic;
}

// Calmer headings and light, single-line tables than the plain Markdown defaults.
void polishTopic(QTextDocument *document, const QPalette &palette)
{
    QTextCursor cursor(document);
    // Links are underlined and in the link colour, as "Using Help" tells the reader.
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isAnchor() || fragment.charFormat().anchorHref().isEmpty())
                continue;
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            QTextCharFormat link;
            link.setFontUnderline(true);
            link.setForeground(palette.color(QPalette::Link));
            cursor.mergeCharFormat(link);
        }
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level == 0)
            continue;
        cursor.setPosition(block.position());
        QTextBlockFormat format = block.blockFormat();
        format.setTopMargin(level == 1 ? 0 : 12);
        format.setBottomMargin(level == 1 ? 10 : 4);
        cursor.setBlockFormat(format);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat chars;
        chars.setProperty(QTextFormat::FontSizeAdjustment, level == 1 ? 2 : 1);
        cursor.mergeCharFormat(chars);
    }
    for (QTextFrame::iterator it = document->rootFrame()->begin(); !it.atEnd(); ++it) {
        auto *table = qobject_cast<QTextTable *>(it.currentFrame());
        if (!table)
            continue;
        QTextTableFormat format = table->format();
        format.setBorderCollapse(true);
        format.setBorder(1);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderBrush(palette.color(QPalette::Midlight));
        format.setCellSpacing(0);
        format.setCellPadding(5);
        format.setTopMargin(4);
        format.setBottomMargin(8);
        table->setFormat(format);
        for (int column = 0; column < table->columns(); ++column) {
            QTextTableCell cell = table->cellAt(0, column);
            QTextCharFormat header = cell.format();
            header.setBackground(palette.color(QPalette::AlternateBase));
            cell.setFormat(header);
        }
    }
}

} // namespace

HelpViewer::HelpViewer(QWidget *owner) : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Quillory Help"));
    // The help window never keeps the program running once the game window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);

    tabHelp = new QTabWidget;
    tabHelp->setObjectName(QStringLiteral("tabHelp"));

    lstContents = new QListWidget;
    lstContents->setObjectName(QStringLiteral("lstContents"));
    lstContents->setAccessibleName(QStringLiteral("Help topics"));
    lstContents->setSpacing(1);
    lstContents->setWordWrap(true);
    lstContents->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *contentsPage = new QWidget;
    auto *contentsLayout = new QVBoxLayout(contentsPage);
    auto *contentsLabel = new QLabel(QStringLiteral("Choose a &topic:"));
    contentsLabel->setBuddy(lstContents);
    contentsLayout->addWidget(contentsLabel);
    contentsLayout->addWidget(lstContents);
    tabHelp->addTab(contentsPage, QStringLiteral("&Contents"));

    txtIndexFilter = new QLineEdit;
    txtIndexFilter->setObjectName(QStringLiteral("txtIndexFilter"));
    txtIndexFilter->setAccessibleName(QStringLiteral("Word to find"));
    txtIndexFilter->setClearButtonEnabled(true);
    txtIndexFilter->installEventFilter(this);
    lstIndex = new QListWidget;
    lstIndex->setObjectName(QStringLiteral("lstIndex"));
    lstIndex->setAccessibleName(QStringLiteral("Index keywords"));
    lstIndex->setSpacing(1);
    lstIndex->setWordWrap(true);
    lstIndex->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    cmdDisplay = new QPushButton(QStringLiteral("&Display"));
    cmdDisplay->setObjectName(QStringLiteral("cmdDisplay"));
    auto *indexPage = new QWidget;
    auto *indexLayout = new QVBoxLayout(indexPage);
    auto *filterLabel = new QLabel(QStringLiteral("&Type a word to find:"));
    filterLabel->setBuddy(txtIndexFilter);
    indexLayout->addWidget(filterLabel);
    indexLayout->addWidget(txtIndexFilter);
    indexLayout->addWidget(lstIndex);
    auto *displayRow = new QHBoxLayout;
    displayRow->addStretch();
    displayRow->addWidget(cmdDisplay);
    indexLayout->addLayout(displayRow);
    tabHelp->addTab(indexPage, QStringLiteral("&Index"));

    txtTopic = new QTextBrowser;
    txtTopic->setObjectName(QStringLiteral("txtTopic"));
    txtTopic->setAccessibleName(QStringLiteral("Help topic"));
    txtTopic->setOpenLinks(false);
    txtTopic->document()->setDocumentMargin(14);
    QFont topicFont = txtTopic->font();
    topicFont.setPointSizeF(topicFont.pointSizeF() * 1.1);
    txtTopic->setFont(topicFont);

    auto *splitter = new QSplitter(Qt::Horizontal);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(tabHelp);
    splitter->addWidget(txtTopic);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({270, 590});

    cmdBack = new QPushButton(QStringLiteral("&Back"));
    cmdBack->setObjectName(QStringLiteral("cmdBack"));
    cmdUsingHelp = new QPushButton(QStringLiteral("&Using Help"));
    cmdUsingHelp->setObjectName(QStringLiteral("cmdUsingHelp"));
    cmdClose = new QPushButton(QStringLiteral("Close"));
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    for (QPushButton *button : {cmdDisplay, cmdBack, cmdUsingHelp, cmdClose})
        button->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdUsingHelp);
    buttons->addStretch();
    buttons->addWidget(cmdClose);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    resize(880, 600);

    connect(lstContents, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            showTopicAt(row);
    });
    connect(txtIndexFilter, &QLineEdit::textChanged, this, &HelpViewer::filterIndex);
    connect(txtIndexFilter, &QLineEdit::returnPressed, this, [this] { showIndexEntry(lstIndex->currentItem()); });
    connect(lstIndex, &QListWidget::itemClicked, this, &HelpViewer::showIndexEntry);
    connect(lstIndex, &QListWidget::itemActivated, this, &HelpViewer::showIndexEntry);
    connect(cmdDisplay, &QPushButton::clicked, this, [this] { showIndexEntry(lstIndex->currentItem()); });
    connect(txtTopic, &QTextBrowser::anchorClicked, this, &HelpViewer::openLink);
    connect(cmdBack, &QPushButton::clicked, this, &HelpViewer::goBack);
    connect(cmdUsingHelp, &QPushButton::clicked, this, [this] { showTopic(UsingHelpTitle()); });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

QString HelpViewer::UsingHelpTitle() { return QStringLiteral("Using Help"); }

QString HelpViewer::DefaultHelpFile() { return DataFiles::Find(QStringLiteral("Quillory.hlp")); }

HelpViewer *HelpViewer::instance() { return theViewer(); }

HelpViewer *HelpViewer::open(QWidget *owner, const QString &helpFile)
{
    QPointer<HelpViewer> &viewer = theViewer();
    if (!viewer)
        viewer = new HelpViewer(owner);
    if (viewer->m_topics.isEmpty() || viewer->fileChanged(helpFile))
        viewer->loadFile(helpFile);
    if (viewer->isMinimized())
        viewer->showNormal();
    else
        viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return viewer;
}

HelpViewer *HelpViewer::ShowContents(QWidget *owner, const QString &helpFile)
{
    HelpViewer *viewer = open(owner, helpFile);
    viewer->showContentsPage();
    qCInfo(lcHelp) << "help:" << helpFile << "showing" << viewer->currentTopicTitle();
    return viewer;
}

HelpViewer *HelpViewer::ShowIndex(QWidget *owner, const QString &helpFile)
{
    HelpViewer *viewer = open(owner, helpFile);
    viewer->showIndexPage();
    return viewer;
}

HelpViewer *HelpViewer::ShowHelpOnHelp(QWidget *owner, const QString &helpFile)
{
    HelpViewer *viewer = open(owner, helpFile);
    viewer->tabHelp->setCurrentIndex(ContentsTab);
    viewer->showTopic(UsingHelpTitle());
    viewer->lstContents->setFocus();
    return viewer;
}

bool HelpViewer::fileChanged(const QString &path) const
{
    const QFileInfo info(path);
    return path != m_path || info.isFile() != m_exists || info.size() != m_size || info.lastModified() != m_modified;
}

void HelpViewer::loadFile(const QString &path)
{
    const QFileInfo info(path);
    m_path = path;
    m_exists = info.isFile();
    m_size = info.size();
    m_modified = info.lastModified();

    const HelpFile file = HelpFile::load(path);
    m_topics.clear();
    if (file.status() != HelpFile::Status::Loaded)
        m_topics << noticeTopic(file.status(), path);
    m_topics << file.topics() << usingHelpTopic();
    m_index = HelpFile::buildIndex(m_topics);
    m_history.clear();
    m_current = -1;

    {
        const QSignalBlocker blocker(lstContents);
        lstContents->clear();
        for (const HelpFile::Topic &topic : std::as_const(m_topics))
            lstContents->addItem(topic.title);
    }
    txtIndexFilter->clear();
    filterIndex(QString());
    cmdBack->setEnabled(false);
}

void HelpViewer::showContentsPage()
{
    tabHelp->setCurrentIndex(ContentsTab);
    showTopicAt(0);
    lstContents->setFocus();
}

void HelpViewer::showIndexPage()
{
    tabHelp->setCurrentIndex(IndexTab);
    txtIndexFilter->clear();
    if (m_current < 0)
        showTopicAt(0);
    txtIndexFilter->setFocus();
}

bool HelpViewer::showTopic(const QString &ref)
{
    const int index = HelpFile::findTopic(m_topics, ref);
    if (index < 0)
        return false;
    showTopicAt(index);
    return true;
}

QString HelpViewer::currentTopicTitle() const
{
    return m_current >= 0 && m_current < m_topics.size() ? m_topics[m_current].title : QString();
}

void HelpViewer::showTopicAt(int index, bool remember)
{
    if (index < 0 || index >= m_topics.size())
        return;
    if (remember && m_current >= 0 && m_current != index)
        m_history << m_current;
    m_current = index;
    const HelpFile::Topic &topic = m_topics[index];
    txtTopic->setMarkdown(QStringLiteral("# ") + HelpFile::escapeMarkdown(topic.title) + QStringLiteral("\n\n")
                          + topic.body);
    polishTopic(txtTopic->document(), txtTopic->palette());
    {
        const QSignalBlocker blocker(lstContents);
        lstContents->setCurrentRow(index);
    }
    cmdBack->setEnabled(!m_history.isEmpty());
}

void HelpViewer::filterIndex(const QString &text)
{
    const QString wanted = text.simplified();
    lstIndex->clear();
    QListWidgetItem *best = nullptr;
    for (const HelpFile::IndexEntry &entry : std::as_const(m_index)) {
        if (!entry.keyword.contains(wanted, Qt::CaseInsensitive))
            continue;
        auto *item = new QListWidgetItem(entry.label, lstIndex);
        item->setData(Qt::UserRole, entry.topic);
        if (!best && entry.keyword.startsWith(wanted, Qt::CaseInsensitive))
            best = item;
    }
    if (!best && lstIndex->count() > 0)
        best = lstIndex->item(0);
    if (best)
        lstIndex->setCurrentItem(best);
    cmdDisplay->setEnabled(best != nullptr);
}

void HelpViewer::showIndexEntry(QListWidgetItem *item)
{
    if (item)
        showTopicAt(item->data(Qt::UserRole).toInt());
}

void HelpViewer::goBack()
{
    if (m_history.isEmpty())
        return;
    showTopicAt(m_history.takeLast(), false);
}

void HelpViewer::openLink(const QUrl &url)
{
    if (url.scheme().isEmpty()) {
        showTopic(url.hasFragment() ? url.fragment() : url.path());
        return;
    }
    QDesktopServices::openUrl(url);
}

bool HelpViewer::eventFilter(QObject *watched, QEvent *event)
{
    // Up and down in the word box move through the keyword list, so typing and choosing go
    // together.
    if (watched == txtIndexFilter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QKeyEvent copy(QEvent::KeyPress, key, static_cast<QKeyEvent *>(event)->modifiers());
            QCoreApplication::sendEvent(lstIndex, &copy);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
