#include "help/HelpFile.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace {

bool isFence(const QString &line)
{
    const QString t = line.trimmed();
    return t.startsWith(u"```") || t.startsWith(u"~~~");
}

bool isTitleLine(const QString &line) { return line == u"#" || line.startsWith(u"# "); }

QString titleOf(const QString &line)
{
    QString title = line.mid(1).trimmed();
    // An optional closing run of "#" after a blank, as Markdown allows.
    qsizetype end = title.size();
    while (end > 0 && title[end - 1] == u'#')
        --end;
    if (end < title.size() && (end == 0 || title[end - 1].isSpace()))
        title = title.left(end).trimmed();
    return title.isEmpty() ? QStringLiteral("Untitled") : title;
}

// "Keywords:" in any letter case, at the start of the line.
bool takeKeywords(const QString &line, QStringList &keywords)
{
    static const QString prefix = QStringLiteral("Keywords:");
    if (!line.startsWith(prefix, Qt::CaseInsensitive))
        return false;
    const QStringList parts = line.mid(prefix.size()).split(u';');
    for (const QString &part : parts) {
        const QString keyword = part.simplified();
        if (keyword.isEmpty())
            continue;
        const bool seen = std::any_of(keywords.cbegin(), keywords.cend(), [&](const QString &k) {
            return k.compare(keyword, Qt::CaseInsensitive) == 0;
        });
        if (!seen)
            keywords << keyword;
    }
    return true;
}

QString trimBlankLines(const QStringList &lines)
{
    qsizetype first = 0;
    qsizetype last = lines.size();
    while (first < last && lines[first].trimmed().isEmpty())
        ++first;
    while (last > first && lines[last - 1].trimmed().isEmpty())
        --last;
    return lines.mid(first, last - first).join(u'\n');
}

} // namespace

HelpFile HelpFile::load(const QString &path)
{
    HelpFile result;
    QFile file(path);
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        result.m_path = path;
        return result; // Missing
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.m_path = path;
        result.m_status = Status::Unreadable;
        return result;
    }
    result = parse(file.read(MaxBytes));
    result.m_path = path;
    return result;
}

HelpFile HelpFile::parse(const QByteArray &bytes)
{
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QChar(0), QChar(0xFFFD));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');

    HelpFile result;
    QSet<QString> ids;
    QStringList body;
    bool inTopic = false;
    bool inFence = false;
    bool keywordsOpen = false; // still right below the title, where keyword lines belong

    auto finishTopic = [&] {
        if (inTopic)
            result.m_topics.last().body = trimBlankLines(body);
        body.clear();
    };

    const QStringList lines = text.split(u'\n');
    for (const QString &line : lines) {
        if (!inFence && isTitleLine(line)) {
            finishTopic();
            Topic topic;
            topic.title = titleOf(line);
            QString id = topicId(topic.title);
            if (id.isEmpty())
                id = QStringLiteral("topic");
            const QString base = id;
            for (int n = 2; ids.contains(id); ++n)
                id = base + u'-' + QString::number(n);
            ids.insert(id);
            topic.id = id;
            result.m_topics << topic;
            inTopic = true;
            keywordsOpen = true;
            continue;
        }
        if (!inTopic)
            continue; // a comment before the first topic
        if (keywordsOpen) {
            if (line.trimmed().isEmpty())
                continue;
            if (takeKeywords(line.trimmed(), result.m_topics.last().keywords))
                continue;
            keywordsOpen = false;
        }
        if (isFence(line))
            inFence = !inFence;
        body << line;
    }
    finishTopic();

    result.m_status = result.m_topics.isEmpty() ? Status::NoTopics : Status::Loaded;
    return result;
}

QList<HelpFile::IndexEntry> HelpFile::buildIndex(const QList<Topic> &topics)
{
    QList<IndexEntry> entries;
    for (int i = 0; i < topics.size(); ++i) {
        QStringList words{topics[i].title};
        for (const QString &keyword : topics[i].keywords)
            if (!std::any_of(words.cbegin(), words.cend(),
                             [&](const QString &w) { return w.compare(keyword, Qt::CaseInsensitive) == 0; }))
                words << keyword;
        for (const QString &word : std::as_const(words))
            entries << IndexEntry{word, word, i};
    }
    std::stable_sort(entries.begin(), entries.end(), [](const IndexEntry &a, const IndexEntry &b) {
        const int c = a.keyword.compare(b.keyword, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.topic < b.topic;
    });
    // A keyword that leads to several topics names the topic on each of its lines.
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const bool samePrev = i > 0 && entries[i - 1].keyword.compare(entries[i].keyword, Qt::CaseInsensitive) == 0;
        const bool sameNext = i + 1 < entries.size()
            && entries[i + 1].keyword.compare(entries[i].keyword, Qt::CaseInsensitive) == 0;
        if (samePrev || sameNext)
            entries[i].label = entries[i].keyword + QStringLiteral(" (") + topics[entries[i].topic].title + u')';
    }
    return entries;
}

QString HelpFile::topicId(const QString &title)
{
    QString id;
    for (const QChar c : title) {
        if (c.isLetterOrNumber())
            id += c.toLower();
        else if (!id.isEmpty() && !id.endsWith(u'-'))
            id += u'-';
    }
    while (id.endsWith(u'-'))
        id.chop(1);
    return id;
}

int HelpFile::findTopic(const QList<Topic> &topics, const QString &ref)
{
    for (int i = 0; i < topics.size(); ++i)
        if (topics[i].id.compare(ref, Qt::CaseInsensitive) == 0)
            return i;
    for (int i = 0; i < topics.size(); ++i)
        if (topics[i].title.compare(ref, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString HelpFile::escapeMarkdown(const QString &text)
{
    static const QString punctuation = QStringLiteral("!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~");
    QString out;
    out.reserve(text.size() * 2);
    for (const QChar c : text) {
        if (c == u'\n' || c == u'\r') {
            out += u' ';
            continue;
        }
        if (punctuation.contains(c))
            out += u'\\';
        out += c;
    }
    return out;
}
