#pragma once

#include "help/HelpFile.h"

#include <QDateTime>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTabWidget;
class QTextBrowser;
class QUrl;

// The game's help window: a contents list and a keyword index on the left, the chosen topic on
// the right. One window serves the whole program; the Show functions create it on first use,
// bring it to the front afterwards and return at once (it is not modal). A help file that is
// missing or unusable gives an explanatory page in the window, never a message box.
class HelpViewer : public QWidget
{
    Q_OBJECT

public:
    // The Help menu's three commands: the contents topic, the keyword index, and the built-in
    // topic that explains this window.
    static HelpViewer *ShowContents(QWidget *owner, const QString &helpFile);
    static HelpViewer *ShowIndex(QWidget *owner, const QString &helpFile);
    static HelpViewer *ShowHelpOnHelp(QWidget *owner, const QString &helpFile);

    // The help file the build ships with the game.
    static QString DefaultHelpFile();
    // The window, if it exists.
    static HelpViewer *instance();

    // Title of the built-in topic about this window.
    static QString UsingHelpTitle();

    QString currentTopicTitle() const;
    // Every topic the window offers: the file's, then the built-in ones.
    const QList<HelpFile::Topic> &topics() const { return m_topics; }
    // Shows the topic with this id or title; false when there is none.
    bool showTopic(const QString &ref);

private:
    explicit HelpViewer(QWidget *owner);
    static HelpViewer *open(QWidget *owner, const QString &helpFile);

    void loadFile(const QString &path);
    bool fileChanged(const QString &path) const;
    void showTopicAt(int index, bool remember = true);
    void showContentsPage();
    void showIndexPage();
    void filterIndex(const QString &text);
    void showIndexEntry(QListWidgetItem *item);
    void goBack();
    void openLink(const QUrl &url);
    bool eventFilter(QObject *watched, QEvent *event) override;

    QString m_path;
    bool m_exists = false;
    qint64 m_size = -1;
    QDateTime m_modified;

    QList<HelpFile::Topic> m_topics;
    QList<HelpFile::IndexEntry> m_index;
    int m_current = -1;
    QList<int> m_history;

    QTabWidget *tabHelp;
    QListWidget *lstContents;
    QLineEdit *txtIndexFilter;
    QListWidget *lstIndex;
    QPushButton *cmdDisplay;
    QTextBrowser *txtTopic;
    QPushButton *cmdBack;
    QPushButton *cmdUsingHelp;
    QPushButton *cmdClose;
};
