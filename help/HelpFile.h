#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QByteArray;

// The game's help file: UTF-8 Markdown split into topics.
//
//   # Title of the topic
//   Keywords: first keyword; second keyword
//
//   Markdown body, up to the next line that starts with "# ".
//
// A line starting with "# " (outside a fenced code block) opens a topic; the first topic is the
// contents topic. "Keywords:" lines directly below the title (blank lines may come between) list
// the topic's index keywords, separated by semicolons. Text before the first title is a comment.
// Links between topics name the target's id: [Scoring](#scoring), where the id is the title in
// lower case with every run of other characters than letters and digits turned into one "-".
//
// Parsing accepts any bytes: invalid UTF-8 is replaced, and a file without a title line simply
// has no topics.
class HelpFile
{
public:
    struct Topic
    {
        QString title;
        QString id;
        QStringList keywords;
        QString body; // Markdown, without the title and keyword lines
    };

    // One line of the keyword index: a keyword (or a topic title) and the topic it leads to.
    struct IndexEntry
    {
        QString keyword;
        QString label; // the keyword, followed by "(topic title)" when it leads to several topics
        int topic;     // index into the topic list the index was built from
    };

    enum class Status { Loaded, Missing, Unreadable, NoTopics };

    // Files larger than this are not help files; only their first part is read.
    static constexpr qint64 MaxBytes = 4 * 1024 * 1024;

    HelpFile() = default;

    // Reads and parses the file at path; never throws.
    static HelpFile load(const QString &path);
    static HelpFile parse(const QByteArray &bytes);

    Status status() const { return m_status; }
    QString path() const { return m_path; }
    const QList<Topic> &topics() const { return m_topics; }

    // The index over the given topics: every keyword and every title, sorted without regard to
    // letter case, each keyword once per topic.
    static QList<IndexEntry> buildIndex(const QList<Topic> &topics);

    // The link id of a title.
    static QString topicId(const QString &title);
    // The topic whose id or title (any letter case) is ref, or -1.
    static int findTopic(const QList<Topic> &topics, const QString &ref);
    // text with every ASCII punctuation character backslash-escaped, so Markdown shows it as is.
    static QString escapeMarkdown(const QString &text);

private:
    Status m_status = Status::Missing;
    QString m_path;
    QList<Topic> m_topics;
};
