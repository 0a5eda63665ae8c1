#include "tools/QuestionBank.h"

#include "bible/KjvText.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

const QStringList &QuestionBank::firstEditionHeader()
{
    static const QStringList h{QStringLiteral("Question"), QStringLiteral("Answer1"), QStringLiteral("Answer2"),
                               QStringLiteral("Answer3"), QStringLiteral("Answer4"), QStringLiteral("Testament"),
                               QStringLiteral("Reference")};
    return h;
}

const QStringList &QuestionBank::header()
{
    static const QStringList h = firstEditionHeader() + QStringList{QStringLiteral("Difficulty")};
    return h;
}

void QuestionBank::parse(const QByteArray &text, const QString &sourceName)
{
    const QList<QByteArray> lines = text.split('\n');
    bool sawHeader = false;
    qsizetype columns = header().size();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        const QString where = QStringLiteral("%1:%2").arg(sourceName).arg(i + 1);
        if (line.isEmpty())
            continue;
        const QString decoded = QString::fromUtf8(line);
        if (decoded.contains(QChar::ReplacementCharacter)) {
            addFinding(BankFinding::Error, where, QStringLiteral("not valid UTF-8"));
            continue;
        }
        const QStringList f = decoded.split(u'\t');
        if (!sawHeader) {
            sawHeader = true;
            if (f == firstEditionHeader())
                columns = f.size();
            else if (f != header())
                addFinding(BankFinding::Error, where,
                           QStringLiteral("the first line must be the header: %1").arg(header().join(u' ')));
            continue;
        }
        if (f.size() != columns) {
            addFinding(BankFinding::Error, where,
                       QStringLiteral("expected %1 tab-separated fields, found %2").arg(columns).arg(f.size()));
            continue;
        }
        QuestionRow row{f[0], {f[1], f[2], f[3], f[4]}, f[5], f[6], 0, where};
        if (columns == header().size()) {
            // An empty Difficulty is a question not yet graded (the bank rules want a grade).
            static const QStringList levels{QString(), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
            row.difficulty = int(levels.indexOf(f[7]));
            if (row.difficulty < 0) {
                addFinding(BankFinding::Error, where, QStringLiteral("Difficulty must be 1, 2 or 3, not '%1'").arg(f[7]));
                continue;
            }
        }
        m_rows << row;
    }
    if (!sawHeader)
        addFinding(BankFinding::Error, sourceName, QStringLiteral("empty file: no header"));
}

bool QuestionBank::loadPaths(const QStringList &paths)
{
    bool ok = true;
    for (const QString &path : paths) {
        QStringList files;
        if (QFileInfo(path).isDir()) {
            const QDir dir(path);
            for (const QString &name : dir.entryList({QStringLiteral("*.tsv")}, QDir::Files, QDir::Name))
                files << dir.filePath(name);
        } else {
            files << path;
        }
        for (const QString &name : files) {
            QFile file(name);
            if (!file.open(QIODevice::ReadOnly)) {
                addFinding(BankFinding::Error, name, QStringLiteral("cannot read the file"));
                ok = false;
                continue;
            }
            parse(file.readAll(), name);
        }
    }
    return ok;
}

int QuestionBank::errorCount() const
{
    return int(std::count_if(m_findings.begin(), m_findings.end(),
                             [](const BankFinding &f) { return f.kind == BankFinding::Error; }));
}

int QuestionBank::applyExceptions(const QByteArray &text, const QString &sourceName)
{
    static const QStringList exceptionHeader{QStringLiteral("Rule"), QStringLiteral("Question"), QStringLiteral("Reason")};
    QHash<QString, QString> questionAt;
    for (const QuestionRow &r : std::as_const(m_rows))
        questionAt.insert(r.where, r.question);
    const QList<QByteArray> lines = text.split('\n');
    QList<BankFinding> stale;
    QSet<qsizetype> dropped;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]).remove(u'\r');
        const QString where = QStringLiteral("%1:%2").arg(sourceName).arg(i + 1);
        const QStringList f = line.split(u'\t');
        if (i == 0) {
            if (f != exceptionHeader)
                stale << BankFinding{BankFinding::Error, where,
                                     QStringLiteral("the first line must be the header: %1").arg(exceptionHeader.join(u' ')),
                                     QStringLiteral("exception")};
            continue;
        }
        if (line.isEmpty())
            continue;
        if (f.size() != 3 || f[0].isEmpty() || f[1].isEmpty() || f[2].trimmed().isEmpty()) {
            stale << BankFinding{BankFinding::Error, where,
                                 QStringLiteral("an exception needs a rule, a question and a reason"), QStringLiteral("exception")};
            continue;
        }
        bool matched = false;
        for (qsizetype k = 0; k < m_findings.size(); ++k) {
            const BankFinding &finding = m_findings[k];
            if (finding.kind == BankFinding::Error && finding.rule == f[0] && questionAt.value(finding.where) == f[1]) {
                dropped.insert(k);
                matched = true;
            }
        }
        if (!matched)
            stale << BankFinding{BankFinding::Error, where,
                                 QStringLiteral("no [%1] finding on the question '%2': drop the exception").arg(f[0], f[1]),
                                 QStringLiteral("exception")};
    }
    QList<BankFinding> kept;
    for (qsizetype k = 0; k < m_findings.size(); ++k)
        if (!dropped.contains(k))
            kept << m_findings[k];
    m_findings = kept + stale;
    return int(dropped.size());
}

namespace {
QString normalisedQuestion(const QString &q)
{
    QString out;
    for (const QChar c : q.toCaseFolded())
        if (c.isLetterOrNumber())
            out += c;
    return out;
}

QString chapterOf(const QString &reference)
{
    const qsizetype colon = reference.indexOf(u':');
    return colon < 0 ? reference : reference.left(colon);
}
}

void QuestionBank::checkRows()
{
    static const QRegularExpression meta(
        QStringLiteral(R"(\b(all|none|both|neither) of (the|these) (above|answers)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    QHash<QString, QString> questions;
    QHash<QString, QString> facts;
    for (const QuestionRow &r : m_rows) {
        const QStringList fields{r.question, r.answers[0], r.answers[1], r.answers[2], r.answers[3], r.testament, r.reference};
        for (int i = 0; i < fields.size(); ++i) {
            if (fields[i].isEmpty())
                addFinding(BankFinding::Error, r.where, QStringLiteral("%1 is empty").arg(header()[i]));
            else if (fields[i] != fields[i].trimmed())
                addFinding(BankFinding::Error, r.where, QStringLiteral("%1 has blanks around it").arg(header()[i]));
            else if (std::any_of(fields[i].cbegin(), fields[i].cend(), [](QChar c) { return c.category() == QChar::Other_Control; }))
                // A carriage return or other control character inside a field shows as garbage,
                // and the export turns it into a blank: the row would not come back as written.
                addFinding(BankFinding::Error, r.where, QStringLiteral("%1 holds a control character").arg(header()[i]));
        }
        QSet<QString> distinct;
        for (const QString &a : r.answers) {
            distinct.insert(a.trimmed().toCaseFolded());
            if (a.size() > MaxAnswerLength)
                addFinding(BankFinding::Error, r.where,
                           QStringLiteral("answer longer than %1 characters: %2").arg(MaxAnswerLength).arg(a));
            if (meta.match(a).hasMatch())
                addFinding(BankFinding::Error, r.where, QStringLiteral("an answer that depends on the others: %1").arg(a));
        }
        if (distinct.size() != 4)
            addFinding(BankFinding::Error, r.where, QStringLiteral("the four answers are not distinct"));
        if (r.testament != u"OT" && r.testament != u"NT")
            addFinding(BankFinding::Error, r.where, QStringLiteral("testament must be OT or NT, not '%1'").arg(r.testament));

        const QString key = normalisedQuestion(r.question);
        if (!key.isEmpty()) {
            if (questions.contains(key))
                addFinding(BankFinding::Error, r.where, QStringLiteral("the same question as %1").arg(questions.value(key)),
                           QStringLiteral("duplicate"));
            else
                questions.insert(key, r.where);
        }
        const QString fact = r.answers[0].toCaseFolded() + u'|' + chapterOf(r.reference);
        if (facts.contains(fact))
            addFinding(BankFinding::Note, r.where,
                       QStringLiteral("same answer and chapter as %1: check that it asks another fact").arg(facts.value(fact)));
        else
            facts.insert(fact, r.where);
    }
}

int QuestionBank::checkAgainstText(const KjvText &kjv)
{
    int borne = 0;
    for (const QuestionRow &r : m_rows) {
        QString error;
        const auto passage = kjv.passage(r.reference, &error);
        if (!passage) {
            addFinding(BankFinding::Error, r.where, error);
            continue;
        }
        if (r.testament != passage->testament)
            addFinding(BankFinding::Error, r.where,
                       QStringLiteral("testament %1, but %2 is in the %3").arg(r.testament, passage->book, passage->testament));
        if (passage->verseCount > 12)
            addFinding(BankFinding::Warning, r.where, QStringLiteral("reference spans %1 verses").arg(passage->verseCount));
        // A question on which book says something is answered by the passage's book.
        if (BorneOut(r.answers[0], passage->text + QStringLiteral(" the book of ") + passage->book))
            ++borne;
        else
            addFinding(BankFinding::Note, r.where,
                       QStringLiteral("paraphrase: '%1' is not worded so in %2").arg(r.answers[0], r.reference));
    }
    return borne;
}

QuestionBank::Totals QuestionBank::totals(const KjvText *kjv) const
{
    Totals t;
    QHash<QString, int> perBook;
    for (const QuestionRow &r : m_rows) {
        ++t.rows;
        if (r.testament == u"OT")
            ++t.ot;
        else if (r.testament == u"NT")
            ++t.nt;
        QString book = chapterOf(r.reference);
        book = book.left(book.lastIndexOf(u' '));
        if (book == u"Psalm")
            book = QStringLiteral("Psalms");
        if (!kjv || kjv->books().contains(book))
            ++perBook[book];
    }
    t.books = int(perBook.size());
    for (auto it = perBook.cbegin(); it != perBook.cend(); ++it)
        if (it.value() > t.largestBookCount)
            t.largestBookCount = it.value(), t.largestBook = it.key();
    return t;
}

namespace {
const QSet<QString> &stopWords()
{
    static const QSet<QString> words = [] {
        QSet<QString> s;
        for (const char *w : {"a", "an", "the", "of", "and", "or", "to", "in", "on", "at", "by", "for", "from", "with",
                              "into", "unto", "upon", "as", "is", "was", "were", "be", "been", "are", "his", "her",
                              "him", "he", "she", "it", "its", "they", "them", "their", "this", "that", "these",
                              "those", "who", "whom", "whose", "which", "what", "when", "where", "how", "why", "all",
                              "any", "some", "not", "no", "one", "s", "my", "our", "your", "thy", "thee", "thou",
                              "ye", "i", "we", "us", "me", "out", "up", "over", "under", "about", "than", "then",
                              "so", "do", "did", "does", "had", "has", "have", "shall", "will", "would", "should",
                              "could", "may", "might", "must", "very", "most", "more"})
            s.insert(QString::fromLatin1(w));
        return s;
    }();
    return words;
}

// Modern spellings and the forms the King James text uses for them.
const QHash<QString, QStringList> &spellings()
{
    static const QHash<QString, QStringList> map{
        {QStringLiteral("elijah"), {QStringLiteral("elias")}},
        {QStringLiteral("elisha"), {QStringLiteral("eliseus")}},
        {QStringLiteral("isaiah"), {QStringLiteral("esaias")}},
        {QStringLiteral("jonah"), {QStringLiteral("jonas")}},
        {QStringLiteral("noah"), {QStringLiteral("noe")}},
        {QStringLiteral("hosea"), {QStringLiteral("osee")}},
        {QStringLiteral("judah"), {QStringLiteral("juda"), QStringLiteral("judas")}},
        {QStringLiteral("korah"), {QStringLiteral("core")}},
        {QStringLiteral("timothy"), {QStringLiteral("timotheus")}},
        {QStringLiteral("mark"), {QStringLiteral("marcus")}},
        {QStringLiteral("luke"), {QStringLiteral("lucas")}},
        {QStringLiteral("jeremiah"), {QStringLiteral("jeremy"), QStringLiteral("jeremias")}},
        {QStringLiteral("zechariah"), {QStringLiteral("zacharias")}},
        {QStringLiteral("sarah"), {QStringLiteral("sara"), QStringLiteral("sarai")}},
        {QStringLiteral("rebekah"), {QStringLiteral("rebecca")}},
        {QStringLiteral("elizabeth"), {QStringLiteral("elisabeth")}},
        {QStringLiteral("hezekiah"), {QStringLiteral("ezekias")}},
        {QStringLiteral("uzziah"), {QStringLiteral("ozias")}},
        {QStringLiteral("gideon"), {QStringLiteral("gedeon")}},
        {QStringLiteral("samson"), {QStringLiteral("sampson")}},
        {QStringLiteral("jephthah"), {QStringLiteral("jephthae")}},
        {QStringLiteral("rahab"), {QStringLiteral("rachab")}},
        {QStringLiteral("boaz"), {QStringLiteral("booz")}},
        {QStringLiteral("joshua"), {QStringLiteral("jesus")}},
        {QStringLiteral("ahab"), {QStringLiteral("achab")}},
        {QStringLiteral("savior"), {QStringLiteral("saviour")}},
        {QStringLiteral("honor"), {QStringLiteral("honour")}},
        {QStringLiteral("color"), {QStringLiteral("colour")}},
        {QStringLiteral("neighbor"), {QStringLiteral("neighbour")}},
        {QStringLiteral("labor"), {QStringLiteral("labour")}},
        {QStringLiteral("enoch"), {QStringLiteral("henoch"), QStringLiteral("enos")}},
    };
    return map;
}

// The ways the King James text writes a number as words: "nine hundred sixty and nine",
// "an hundred and twenty" (no "one" before hundred or thousand), "threescore and ten".
QList<QStringList> numberForms(qint64 n)
{
    static const char *const small[] = {"zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine",
                                        "ten", "eleven", "twelve", "thirteen", "fourteen", "fifteen", "sixteen",
                                        "seventeen", "eighteen", "nineteen"};
    static const char *const tens[] = {"", "", "twenty", "thirty", "forty", "fifty", "sixty", "seventy", "eighty", "ninety"};
    auto combine = [](const QList<QStringList> &a, const QList<QStringList> &b) {
        QList<QStringList> out;
        for (const QStringList &x : a)
            for (const QStringList &y : b)
                out << x + y;
        return out;
    };
    if (n < 20)
        return {{QString::fromLatin1(small[n])}};
    if (n < 100) {
        QList<QStringList> tensForms{{QString::fromLatin1(tens[n / 10])}};
        const QHash<int, QStringList> scores{{6, {"threescore"}}, {7, {"threescore", "ten"}},
                                             {8, {"fourscore"}}, {9, {"fourscore", "ten"}}};
        if (scores.contains(int(n / 10)))
            tensForms << scores.value(int(n / 10));
        QList<QStringList> forms = n % 10 ? combine(tensForms, numberForms(n % 10)) : tensForms;
        // "threescore and sixteen" (76), "fourscore and eighteen" (98)
        if (n > 60 && n < 80 && n != 70)
            forms << combine({{QStringLiteral("threescore")}}, numberForms(n - 60));
        else if (n > 80 && n != 90)
            forms << combine({{QStringLiteral("fourscore")}}, numberForms(n - 80));
        return forms;
    }
    auto scaled = [&](qint64 unit, const QString &word) {
        QList<QStringList> head = n / unit == 1 ? QList<QStringList>{{word}} : combine(numberForms(n / unit), {{word}});
        return n % unit ? combine(head, numberForms(n % unit)) : head;
    };
    if (n < 1000) {
        QList<QStringList> forms = scaled(100, QStringLiteral("hundred"));
        if (n >= 120 && n < 140) // "sixscore"
            forms << (n == 120 ? QList<QStringList>{{QStringLiteral("sixscore")}}
                               : combine({{QStringLiteral("sixscore")}}, numberForms(n - 120)));
        return forms;
    }
    if (n < 1000000) {
        QList<QStringList> forms = scaled(1000, QStringLiteral("thousand"));
        // "eleven hundred", "fifteen hundred"
        if (n < 10000 && n % 100 == 0 && n % 1000 != 0)
            forms << combine(numberForms(n / 100), {{QStringLiteral("hundred")}});
        return forms;
    }
    return {{QString::number(n)}};
}

QStringList wordsOf(const QString &text)
{
    static const QRegularExpression word(QStringLiteral("[a-z0-9]+"));
    QStringList out;
    auto it = word.globalMatch(text.toLower());
    while (it.hasNext())
        out << it.next().captured(0);
    return out;
}

bool wordMatches(const QString &k, const QSet<QString> &passage)
{
    if (passage.contains(k))
        return true;
    for (const QString &t : passage) {
        const qsizetype n = std::min(k.size(), t.size());
        if (n >= 4 && (t.startsWith(k) || k.startsWith(t)))
            return true;
        if (k.size() >= 6 && t.size() >= 6 && QStringView(k).left(5) == QStringView(t).left(5))
            return true;
    }
    return false;
}
}

bool QuestionBank::BorneOut(const QString &answer, const QString &passage)
{
    const QStringList passageWords = wordsOf(passage);
    const QSet<QString> text(passageWords.begin(), passageWords.end());
    QStringList words = wordsOf(answer);
    QStringList keys;
    for (const QString &w : words)
        if (!stopWords().contains(w))
            keys << w;
    // An answer of small words only ("Might", "With all his might") is borne out by all of them.
    if (keys.isEmpty())
        for (const QString &w : words)
            if (w != u"a" && w != u"an" && w != u"the")
                keys << w;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QString &w = keys[i];
        bool isNumber = false;
        const qint64 number = w.toLongLong(&isNumber);
        if (isNumber) {
            if (text.contains(w))
                continue;
            // "2 times" and "3 times" are the text's "twice" and "thrice".
            if ((number == 2 && text.contains(QStringLiteral("twice"))) || (number == 3 && text.contains(QStringLiteral("thrice")))) {
                if (i + 1 < keys.size() && keys[i + 1] == u"times")
                    ++i;
                continue;
            }
            const QList<QStringList> forms = numberForms(number);
            const bool found = std::any_of(forms.begin(), forms.end(), [&](const QStringList &spelled) {
                return std::all_of(spelled.begin(), spelled.end(), [&](const QString &s) { return wordMatches(s, text); });
            });
            if (!found)
                return false;
            continue;
        }
        QStringList forms{w};
        forms << spellings().value(w);
        if (!std::any_of(forms.begin(), forms.end(), [&](const QString &f) { return wordMatches(f, text); }))
            return false;
    }
    return !keys.isEmpty();
}
