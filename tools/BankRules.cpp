#include "tools/BankRules.h"

#include "bible/KjvText.h"
#include "tools/QuestionBank.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <functional>

// The women's names are built into the tool from data/names/women.tsv.
static void initNames() { Q_INIT_RESOURCE(names); }

namespace {
QSet<QString> setOf(std::initializer_list<const char *> words)
{
    QSet<QString> s;
    for (const char *w : words)
        s.insert(QString::fromLatin1(w));
    return s;
}

// Words that say nothing of a question's subject.
const QSet<QString> &stopWords()
{
    static const QSet<QString> s = setOf(
        {"a", "an", "the", "of", "and", "or", "to", "in", "on", "at", "by", "for", "from", "with", "into", "unto", "upon",
         "as", "is", "was", "were", "be", "been", "being", "are", "am", "his", "her", "hers", "him", "he", "she", "it",
         "its", "they", "them", "their", "this", "that", "these", "those", "who", "whom", "whose", "which", "what",
         "when", "where", "whither", "how", "why", "all", "any", "some", "not", "no", "nor", "s", "my", "our", "your",
         "thy", "thee", "thou", "ye", "i", "we", "us", "me", "out", "up", "down", "over", "under", "about", "than",
         "then", "so", "do", "did", "does", "done", "had", "has", "have", "shall", "will", "would", "should", "could",
         "can", "may", "might", "must", "very", "most", "more", "after", "before", "one", "every", "each", "there",
         "also", "but", "if", "own", "same", "other", "another", "both", "himself", "herself", "themselves", "again",
         "unto", "saith", "said", "say", "says", "called", "call", "name", "named", "according", "first", "kind",
         "many", "much", "long", "old", "give", "gave", "given", "tell", "told", "make", "made", "take", "took",
         "come", "came", "go", "went", "put", "set", "see", "saw", "let", "get", "got", "thing", "things", "became",
         "become", "happened", "among", "thine", "mine", "even", "only", "like", "such", "while", "until", "till",
         "yet", "still", "just", "again", "once", "whole", "part"});
    return s;
}

const QSet<QString> &cardinalWords()
{
    static const QSet<QString> s = setOf(
        {"two", "three", "four", "five", "six", "seven", "eight", "nine", "ten", "eleven", "twelve", "thirteen",
         "fourteen", "fifteen", "sixteen", "seventeen", "eighteen", "nineteen", "twenty", "thirty", "forty", "fifty",
         "sixty", "seventy", "eighty", "ninety", "hundred", "thousand", "threescore", "fourscore", "sixscore"});
    return s;
}

// Nouns and pronouns that tell a person's sex.
const QSet<QString> &womanWords()
{
    static const QSet<QString> s = setOf(
        {"woman", "women", "wife", "wives", "daughter", "daughters", "queen", "queens", "mother", "mothers", "sister",
         "sisters", "widow", "widows", "maid", "maids", "maiden", "maidens", "damsel", "damsels", "handmaid",
         "handmaids", "handmaiden", "harlot", "harlots", "prophetess", "virgin", "virgins", "bride", "concubine",
         "concubines", "nurse", "midwife", "midwives", "mistress", "lady", "ladies", "girl", "girls", "bondwoman",
         "bondmaid", "grandmother", "daughters", "she", "her", "herself"});
    return s;
}

const QSet<QString> &manWords()
{
    static const QSet<QString> s = setOf(
        {"man", "men", "husband", "husbands", "son", "sons", "brother", "brothers", "father", "fathers", "king",
         "kings", "prince", "princes", "priest", "priests", "prophet", "prophets", "boy", "boys", "lad", "lads",
         "nephew", "uncle", "bridegroom", "levite", "levites", "grandfather", "grandson", "he", "him", "himself"});
    return s;
}

const QSet<QString> &determiners()
{
    static const QSet<QString> s = setOf({"the", "a", "an", "his", "her", "their", "its", "my", "thy", "our", "your",
                                          "this", "that", "these", "those", "certain", "young", "old", "great"});
    return s;
}

// A word of a text, with where it stands.
struct Token
{
    QString text;  // as written, a possessive "'s" taken off
    QString lower;
    bool quoted = false;
    bool possessive = false;
    bool capital = false;
    bool number = false; // digits
    qsizetype start = 0, end = 0;
};

QList<Token> tokensOf(const QString &s)
{
    static const QRegularExpression word(QStringLiteral(R"([A-Za-z]+(?:'[A-Za-z]+)*'?|\d+(?:,\d{3})*)"));
    QList<Token> out;
    auto it = word.globalMatch(s);
    while (it.hasNext()) {
        const auto m = it.next();
        Token t;
        t.text = m.captured(0);
        t.start = m.capturedStart(0);
        t.end = m.capturedEnd(0);
        if (t.text.endsWith(QLatin1String("'s"))) {
            t.text.chop(2);
            t.possessive = true;
        } else if (t.text.endsWith(u'\'')) {
            t.text.chop(1);
            t.possessive = true;
        }
        t.lower = t.text.toLower();
        t.capital = t.text[0].isUpper();
        t.number = t.text[0].isDigit();
        const QStringView before = QStringView(s).left(t.start);
        t.quoted = (before.count(u'"') + before.count(QChar(0x201C)) + before.count(QChar(0x201D))) % 2 == 1;
        out << t;
    }
    return out;
}

// A light stemmer: plural, verb and agent endings off, so that "sower" and "sow", "healed"
// and "heal", "lights" and "light" meet.
QString stem(const QString &word)
{
    QString w = word.toLower();
    if (w.size() > 4 && w.endsWith(QLatin1String("ies")))
        return w.chopped(3) + u'y';
    if (w.size() > 5 && (w.endsWith(QLatin1String("eth")) || w.endsWith(QLatin1String("est")) || w.endsWith(QLatin1String("ing"))))
        w.chop(3);
    else if (w.size() > 4 && (w.endsWith(QLatin1String("ed")) || w.endsWith(QLatin1String("er"))))
        w.chop(2);
    else if (w.size() > 4 && (w.endsWith(QLatin1String("sses")) || w.endsWith(QLatin1String("xes"))
                              || w.endsWith(QLatin1String("ches")) || w.endsWith(QLatin1String("shes"))))
        w.chop(2);
    else if (w.size() > 3 && w.endsWith(u's') && !w.endsWith(QLatin1String("ss")) && !w.endsWith(QLatin1String("us"))
             && !w.endsWith(QLatin1String("is")))
        w.chop(1);
    if (w.size() > 3 && w[w.size() - 1] == w[w.size() - 2] && !QStringLiteral("lsz").contains(w.back()))
        w.chop(1);
    if (w.size() > 3 && w.endsWith(u'e'))
        w.chop(1);
    return w;
}

// Two stems that are one word: the same, or one the other with an ending such as "-ness".
bool sameStem(const QString &a, const QString &b)
{
    if (a == b)
        return true;
    const QString &shorter = a.size() < b.size() ? a : b;
    const QString &longer = a.size() < b.size() ? b : a;
    static const QStringList endings{QStringLiteral("ness"), QStringLiteral("ly"), QStringLiteral("ful"),
                                     QStringLiteral("en"), QStringLiteral("y"), QStringLiteral("ish"), QStringLiteral("ment")};
    return shorter.size() >= 4 && longer.startsWith(shorter) && endings.contains(longer.mid(shorter.size()));
}

// The value of a number written in words: "an hundred and twenty" is 120, "threescore and ten" 70.
qint64 valueOfWords(const QStringList &words)
{
    static const QHash<QString, int> values{
        {"one", 1}, {"two", 2}, {"three", 3}, {"four", 4}, {"five", 5}, {"six", 6}, {"seven", 7}, {"eight", 8},
        {"nine", 9}, {"ten", 10}, {"eleven", 11}, {"twelve", 12}, {"thirteen", 13}, {"fourteen", 14},
        {"fifteen", 15}, {"sixteen", 16}, {"seventeen", 17}, {"eighteen", 18}, {"nineteen", 19}, {"twenty", 20},
        {"thirty", 30}, {"forty", 40}, {"fifty", 50}, {"sixty", 60}, {"seventy", 70}, {"eighty", 80}, {"ninety", 90},
        {"threescore", 60}, {"fourscore", 80}, {"sixscore", 120}, {"a", 1}, {"an", 1}};
    qint64 total = 0, current = 0;
    for (const QString &w : words) {
        if (w == u"hundred")
            current = std::max<qint64>(current, 1) * 100;
        else if (w == u"thousand" && current == 0 && total > 0)
            total *= 1000; // "a thousand thousand"
        else if (w == u"thousand")
            total += std::max<qint64>(current, 1) * 1000, current = 0;
        else
            current += values.value(w);
    }
    return total + current;
}

bool isCardinal(const Token &t) { return cardinalWords().contains(t.lower); }

// Answers that are numbers: some answer of the row begins with digits or a number word other
// than "one" ("12", "Forty days").
bool numberRow(const QuestionRow &r)
{
    return std::any_of(r.answers.cbegin(), r.answers.cend(), [](const QString &a) {
        const QList<Token> t = tokensOf(a);
        return !t.isEmpty() && (t[0].number || isCardinal(t[0]));
    });
}

// An answer that is a quantity: it begins with digits or a number word ("40 days", "Forty
// days", "An hundred and twenty", "Twice", "About 3000"). "One" counts only among number
// answers; elsewhere it is "one jot or one tittle".
bool isNumberAnswer(const QString &answer, bool amongNumbers)
{
    const QList<Token> t = tokensOf(answer);
    if (t.isEmpty())
        return false;
    if ((t[0].lower == u"about" || t[0].lower == u"above" || t[0].lower == u"over") && t.size() > 1)
        return t[1].number || isCardinal(t[1]);
    if (t[0].lower == u"one")
        return amongNumbers && !(t.size() > 1 && QStringList{"of", "another", "by", "who", "that", "which"}.contains(t[1].lower));
    if (t[0].number || isCardinal(t[0]) || t[0].lower == u"twice" || t[0].lower == u"thrice")
        return true;
    return t.size() > 1 && (t[0].lower == u"a" || t[0].lower == u"an") && (t[1].lower == u"hundred" || t[1].lower == u"thousand");
}

// The items of a list answer: "Simeon and Levi", "Hebrew, Greek, and Latin".
QStringList itemsOf(const QString &answer)
{
    static const QRegularExpression separator(QStringLiteral(R"(\s*,\s*(?:and\s+)?|\s+and\s+|\s*&\s*)"));
    QStringList items = answer.split(separator, Qt::SkipEmptyParts);
    return items;
}

bool pluralWord(const QString &lower)
{
    static const QSet<QString> irregular = setOf({"men", "women", "children", "brethren", "oxen", "feet", "teeth", "mice", "geese", "kine", "people"});
    if (irregular.contains(lower))
        return true;
    return lower.size() > 3 && lower.endsWith(u's') && !lower.endsWith(QLatin1String("ss")) && !lower.endsWith(QLatin1String("us"))
        && !lower.endsWith(QLatin1String("is")) && !lower.endsWith(QLatin1String("ous"));
}

QString quoted(const QString &s) { return u'\'' + s + u'\''; }
}

BankRules::BankRules(const KjvText *kjv)
    : m_kjv(kjv)
{
    initNames();
    QFile women(QStringLiteral(":/names/women.tsv"));
    if (women.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> lines = women.readAll().split('\n');
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QList<QByteArray> f = lines[i].split('\t');
            if (f.size() >= 3 && !f[0].isEmpty())
                m_women.insert(QString::fromUtf8(f[0]), !f[2].trimmed().isEmpty());
        }
    }
    if (!kjv)
        return;

    // The text chapter by chapter, through the references it resolves.
    QString all;
    QString error;
    for (const QString &book : kjv->books()) {
        for (int c = 1; kjv->passage(QStringLiteral("%1 %2:1").arg(book).arg(c), &error); ++c) {
            int lo = 1, hi = 2;
            while (kjv->passage(QStringLiteral("%1 %2:%3").arg(book).arg(c).arg(hi), &error))
                lo = hi, hi *= 2;
            while (hi - lo > 1) {
                const int mid = (lo + hi) / 2;
                (kjv->passage(QStringLiteral("%1 %2:%3").arg(book).arg(c).arg(mid), &error) ? lo : hi) = mid;
            }
            all += kjv->passage(QStringLiteral("%1 %2:1-%2:%3").arg(book).arg(c).arg(lo), &error)->text;
            all += u'\n';
        }
    }

    // Word counts, and which words are names: capitalised inside sentences more often than not.
    static const QRegularExpression word(QStringLiteral(R"([A-Za-z]+)"));
    bool sentenceStart = true;
    qsizetype last = 0;
    auto it = word.globalMatch(all);
    while (it.hasNext()) {
        const auto m = it.next();
        const QStringView gap = QStringView(all).mid(last, m.capturedStart() - last);
        if (gap.contains(u'.') || gap.contains(u'?') || gap.contains(u'!') || gap.contains(u'\n'))
            sentenceStart = true;
        const QString w = m.captured();
        ++m_frequency[w.toLower()];
        if (w[0].isUpper() && !sentenceStart)
            ++m_capitalised[w];
        else if (w[0].isLower())
            m_lowercase.insert(w);
        sentenceStart = false;
        last = m.capturedEnd();
    }

    // Phrases that make a name a man's or a place's.
    const QString n = QStringLiteral("([A-Z][a-z]+)");
    const QStringList men{
        n + QStringLiteral(",? the son of\\b"),
        n + QStringLiteral(",? (?:his|their|her) (?:son|brother|father|husband)\\b(?!')"),
        QStringLiteral("\\b(?:his|her|their|thy|my) (?:son|brother|father|husband),? ") + n,
        n + QStringLiteral(" begat\\b"),
        QStringLiteral("\\bking ") + n,
        n + QStringLiteral(",? (?:the )?king of\\b"),
        n + QStringLiteral(",? the (?:priest|prophet|scribe|Levite|seer|captain|high priest)\\b"),
        n + QStringLiteral(",? the [A-Z][a-z]+ite\\b"),
        n + QStringLiteral("'s wife\\b"),
        QStringLiteral("\\bthe wife of ") + n,
        n + QStringLiteral(" (?:took (?:him )?(?:a )?wife|knew his wife)"),
        n + QStringLiteral(" was \\w+ (?:and \\w+ )?years old when he"),
    };
    const QStringList places{
        QStringLiteral("\\b(?:city|land|wilderness|valley|plain|plains|mount|mountain|mountains|river|brook|cave|field|garden|"
                       "hill|pool|well|tower|coasts|borders|country|region|sea) of ")
            + n,
        QStringLiteral("\\b(?:mount|river|brook|city) ") + n,
        n + QStringLiteral(",? (?:a|the|that) (?:city|land|country)\\b"),
        QStringLiteral("\\b(?:dwelt|abode|pitched|encamped|journeyed|departed|removed|sojourned) (?:in|at|from) ") + n,
        QStringLiteral("\\b(?:went|came|fled|journeyed|returned) (?:up |down |out |again )?(?:into|toward|towards) ") + n,
        n + QStringLiteral(" (?:and|with) (?:her|the|their) (?:towns|villages|suburbs)\\b"),
        QStringLiteral("\\bfrom ") + n + QStringLiteral(" (?:even )?(?:to|unto) ") + n,
    };
    auto collect = [&](const QStringList &patterns, QHash<QString, int> &into) {
        for (const QString &p : patterns) {
            const QRegularExpression re(p);
            auto m = re.globalMatch(all);
            while (m.hasNext()) {
                const auto hit = m.next();
                for (int g = 1; g <= re.captureCount(); ++g)
                    if (isProper(hit.captured(g)))
                        ++into[hit.captured(g)];
            }
        }
    };
    collect(men, m_men);
    collect({n + QStringLiteral(" (?:said|spake|answered)\\b"), QStringLiteral("\\b(?:said|spake) (?:unto|to) ") + n}, m_people);
    // Tribes and nations ("the children of Moab", "the king of Babylon") are people as much as
    // places: both counts grow.
    collect({QStringLiteral("\\b(?:children|tribe|king|kings|people) of ") + n}, m_nations);
    for (const QString &book : kjv->books())
        for (const QString &w : book.split(u' '))
            m_frequency[w.toLower()] += 0; // "The Colossians": the books' names are words of the text
    // The names of a genealogy ("The sons of Cush; Seba, and Havilah, and Sabtah") are people.
    static const QRegularExpression genealogy(QStringLiteral(R"(\b(?:sons|children) of [A-Z][a-z]+[;,]([^.:;]*))"));
    static const QRegularExpression capitalised(QStringLiteral(R"(\b[A-Z][a-z]+\b)"));
    for (auto g = genealogy.globalMatch(all); g.hasNext();)
        for (auto c = capitalised.globalMatch(g.next().captured(1)); c.hasNext();)
            ++m_people[c.next().captured()];
    collect(places, m_places);
}

bool BankRules::isProper(const QString &word) const
{
    if (word.isEmpty() || !word[0].isUpper())
        return false;
    const int capital = m_capitalised.value(word);
    return capital > 0 && capital > m_frequency.value(word.toLower()) - capital;
}

bool BankRules::inText(const QString &word) const
{
    if (m_frequency.contains(word.toLower()))
        return true;
    // A long name with an ending of its own ("Alexandrian" of "Alexandria").
    if (word.size() < 8)
        return false;
    const QString stemPart = word.left(word.size() - 1).toLower();
    for (auto it = m_frequency.cbegin(); it != m_frequency.cend(); ++it)
        if (it.key().startsWith(stemPart))
            return true;
    return false;
}

BankRules::Sex BankRules::nameSex(const QString &name) const
{
    const auto w = m_women.constFind(name);
    if (w != m_women.constEnd())
        return *w ? Mixed : Woman;
    const int man = m_men.value(name);
    return man > 0 && man >= 2 * m_places.value(name) ? Man : NoSex;
}

BankRules::Sex BankRules::sexOf(const QString &answer) const
{
    // Each item of the answer is read as a noun phrase: determiners and adjectives, then the word
    // that tells (a name, "wife", "king"), then only "of ...", an apposition ("His brother Aaron")
    // or nothing. An item that reads as a clause ("His wife confessed it") tells no sex.
    static const QSet<QString> prepositions = setOf({"of", "to", "from", "with", "for", "by", "in", "on", "at", "who", "that", "which", "whom"});
    Sex sex = NoSex;
    bool first = true;
    for (const QString &item : itemsOf(answer)) {
        const QList<Token> t = tokensOf(item);
        Sex itemSex = NoSex;
        qsizetype head = -1;
        for (qsizetype i = 0; i < t.size() && head < 0; ++i) {
            if (prepositions.contains(t[i].lower))
                break;
            if (t[i].possessive || determiners().contains(t[i].lower) || t[i].number || isCardinal(t[i]))
                continue;
            if (stopWords().contains(t[i].lower))
                break;
            if (womanWords().contains(t[i].lower) && t[i].lower != u"her" && t[i].lower != u"she" && t[i].lower != u"herself")
                itemSex = Woman, head = i;
            else if (manWords().contains(t[i].lower) && t[i].lower != u"he" && t[i].lower != u"him" && t[i].lower != u"himself")
                itemSex = Man, head = i;
            else if (t[i].capital && (m_women.contains(t[i].text) || isProper(t[i].text)))
                itemSex = nameSex(t[i].text), head = i;
        }
        if (head >= 0 && head + 1 < t.size()) {
            const Token &next = t[head + 1];
            if (!(next.capital || prepositions.contains(next.lower) || next.lower == u"the" || next.lower == u"a"))
                itemSex = NoSex;
        }
        if (itemSex == NoSex || itemSex == Mixed)
            return itemSex == Mixed ? Mixed : (first ? NoSex : Mixed);
        sex = first || sex == itemSex ? itemSex : Mixed;
        first = false;
    }
    return sex;
}

void BankRules::check(QuestionBank &bank) const
{
    for (const QuestionRow &r : bank.rows()) {
        auto report = [&](const QString &rule, const QStringList &messages) {
            for (const QString &m : messages)
                bank.addFinding(BankFinding::Error, r.where, m, rule);
        };
        report(QStringLiteral("number-words"), numberWords(r));
        report(QStringLiteral("odd-length"), oddLength(r));
        report(QStringLiteral("odd-form"), oddForm(r));
        report(QStringLiteral("plural"), plural(r));
        report(QStringLiteral("echo"), echo(r));
        if (m_kjv) {
            report(QStringLiteral("gender"), gender(r));
            report(QStringLiteral("kind"), kind(r));
            report(QStringLiteral("name"), names(r));
            report(QStringLiteral("also-true"), alsoTrue(r));
        }
    }
    giveaways(bank);
}

// --- number-words --------------------------------------------------------------------------------

QStringList BankRules::numberWords(const QuestionRow &r)
{
    QStringList out;
    const bool numbers = numberRow(r);
    const QStringList texts{r.question, r.answers[0], r.answers[1], r.answers[2], r.answers[3]};
    static const QSet<QString> definite = setOf({"the", "these", "those", "his", "her", "their", "its", "my", "our",
                                                 "your", "thy", "which", "what", "whose", "all", "other", "in"});
    for (int f = 0; f < texts.size(); ++f) {
        const QList<Token> t = tokensOf(texts[f]);
        for (qsizetype i = 0; i < t.size(); ++i) {
            if (t[i].quoted)
                continue;
            if (t[i].number && t[i].text.contains(u',')) {
                out << QStringLiteral("%1: write %2 without a thousands separator").arg(quoted(texts[f]), QString(t[i].text).remove(u','));
                continue;
            }
            const bool one = t[i].lower == u"one" && f > 0 && i == 0 && isNumberAnswer(texts[f], numbers);
            if (!isCardinal(t[i]) && !one)
                continue;
            // The words of one number: "an hundred and twenty", "forty-eight".
            qsizetype from = i, to = i;
            while (from > 0 && (t[from - 1].lower == u"a" || t[from - 1].lower == u"an") && t[from].lower == u"hundred")
                --from;
            // "and" joins "an hundred and twenty", "threescore and ten", "five and twenty"; not "two and two".
            auto joins = [&](qsizetype k) {
                if (k + 1 >= t.size() || t[k].lower != u"and" || !isCardinal(t[k + 1]))
                    return false;
                const qint64 before = valueOfWords({t[k - 1].lower}), after = valueOfWords({t[k + 1].lower});
                return before >= 60 || t[k - 1].lower == u"hundred" || t[k - 1].lower == u"thousand" || (before < 10 && after >= 20);
            };
            while (to + 1 < t.size() && (isCardinal(t[to + 1]) || joins(to + 1)))
                to += isCardinal(t[to + 1]) ? 1 : 2;
            // "the twelve", "his two sons", "which two", "captain of fifty", "two and two" stay words.
            const bool selector = (from > 0 && (definite.contains(t[from - 1].lower) || t[from - 1].possessive))
                || (from > 1 && t[from - 1].lower == u"of" && (t[from - 2].lower.startsWith(QLatin1String("captain"))
                                                               || t[from - 2].lower.startsWith(QLatin1String("ruler"))))
                || (to + 2 < t.size() && t[to + 1].lower == u"and" && t[to + 2].lower == t[to].lower)
                || (from > 1 && t[from - 1].lower == u"and" && t[from - 2].lower == t[from].lower);
            i = to;
            if (selector)
                continue;
            QStringList words;
            for (qsizetype k = from; k <= to; ++k)
                words << t[k].lower;
            out << QStringLiteral("%1: write the number '%2' in digits (%3)")
                       .arg(quoted(texts[f]), texts[f].mid(t[from].start, t[to].end - t[from].start))
                       .arg(valueOfWords(words));
        }
    }
    return out;
}

// --- odd-length and odd-form ---------------------------------------------------------------------

QStringList BankRules::oddLength(const QuestionRow &r)
{
    // Clearly longer: half as long again as the longest wrong answer, and 8 characters more.
    qsizetype longestWrong = 0;
    for (int i = 1; i < 4; ++i)
        longestWrong = std::max(longestWrong, r.answers[i].size());
    const qsizetype right = r.answers[0].size();
    if (right * 2 < longestWrong * 3 || right - longestWrong < 8)
        return {};
    return {QStringLiteral("the right answer %1 is much longer than every wrong one (%2 characters, the longest wrong %3)")
                .arg(quoted(r.answers[0]))
                .arg(right)
                .arg(longestWrong)};
}

QStringList BankRules::oddForm(const QuestionRow &r) const
{
    // The right answer must not be alone in a form every wrong answer lacks (a number, a name,
    // "The ...", several words), nor alone outside a form all of them share.
    const bool numbers = numberRow(r);
    auto isNumber = [numbers](const QString &a) { return isNumberAnswer(a, numbers); };
    // A name: one or two names of the text ("Diana", "Castor and Pollux"); a plain answer: words
    // the text also writes in lower case ("Strong drink").
    auto isName = [this](const QString &a) {
        const QList<Token> t = tokensOf(a);
        bool name = !t.isEmpty() && t.size() <= 3 && !a.contains(u',');
        for (const Token &w : t)
            name = name && (w.lower == u"and" || (w.capital && !m_lowercase.contains(w.lower) && inText(w.text)));
        return name;
    };
    auto isPlain = [this](const QString &a) {
        const QList<Token> t = tokensOf(a);
        bool plain = !t.isEmpty();
        for (const Token &w : t)
            plain = plain && m_lowercase.contains(w.lower) && !w.number;
        return plain;
    };
    // Short answers (at most four words) open with "The" (1) or bare (0, "Mount Zion"); -1 for
    // the rest, which are not compared ("They were stoned"). "The LORD" is a name.
    auto opening = [](const QString &a) {
        const QList<Token> t = tokensOf(a);
        if (t.isEmpty() || t.size() > 4)
            return -1;
        if (t[0].lower == u"the")
            return t.size() > 1 && (t[1].text == u"LORD" || t[1].text == u"Lord") ? -1 : 1;
        return stopWords().contains(t[0].lower) || t[0].number || isCardinal(t[0]) ? -1 : 0;
    };
    // "The LORD" is one name.
    auto words = [](const QString &a) {
        const QList<Token> t = tokensOf(a);
        return t.size() == 2 && t[0].lower == u"the" && (t[1].text == u"LORD" || t[1].text == u"Lord") ? 1 : t.size();
    };
    const bool rightNumber = isNumber(r.answers[0]);
    const int rightOpening = opening(r.answers[0]);
    int wrongNumbers = 0, wrongPlain = 0, wrongSingle = 0, wrongOtherOpening = 0;
    for (int i = 1; i < 4; ++i) {
        wrongNumbers += isNumber(r.answers[i]);
        wrongPlain += m_kjv && isPlain(r.answers[i]);
        wrongSingle += words(r.answers[i]) == 1;
        wrongOtherOpening += rightOpening >= 0 && opening(r.answers[i]) == 1 - rightOpening;
    }
    const QList<Token> right = tokensOf(r.answers[0]);
    const bool rightHasNumber = std::any_of(right.cbegin(), right.cend(), [](const Token &t) { return t.number || isCardinal(t); });
    QString form;
    if (rightNumber && wrongNumbers == 0)
        form = QStringLiteral("is the only number");
    else if (!rightNumber && !rightHasNumber && wrongNumbers == 3)
        form = QStringLiteral("is the only one that is not a number");
    else if (m_kjv && isName(r.answers[0]) && wrongPlain == 3)
        form = QStringLiteral("is the only name");
    else if (wrongOtherOpening == 3)
        form = rightOpening ? QStringLiteral("is the only one opening with 'The'") : QStringLiteral("is the only one not opening with 'The'");
    else if (words(r.answers[0]) > 1 && wrongSingle == 3)
        form = QStringLiteral("is the only one of several words");
    if (form.isEmpty())
        return {};
    return {QStringLiteral("the right answer %1 %2").arg(quoted(r.answers[0]), form)};
}

// --- gender --------------------------------------------------------------------------------------

QStringList BankRules::gender(const QuestionRow &r) const
{
    std::array<Sex, 4> sex;
    for (int i = 0; i < 4; ++i)
        sex[i] = sexOf(r.answers[i]);

    // Whom the question asks for: "Which woman ...", "Who was the mother of ...", or a question
    // about "she" that names no woman (and likewise for men).
    const QString q = r.question.toLower();
    Sex asked = NoSex;
    static const QRegularExpression which(QStringLiteral(
        R"(^(?:which|what)\s+(?:(?!did\b|does\b|do\b|was\b|is\b|were\b|are\b|had\b|has\b|have\b|the\b|of\b|shall\b|will\b|would\b|could\b|can\b)[\w']+\s+){0,2}?([a-z]+)\b)"));
    static const QRegularExpression whichOf(QStringLiteral(R"(^(?:which|who|whom)\s+of\s+(?:the\s+|his\s+|her\s+|their\s+|[\w]+'s\s+)?(?:\w+\s+)?([a-z]+)\b)"));
    static const QRegularExpression whoWas(QStringLiteral(R"(^(?:who|whom)\s+(?:was|is|were|became)\s+(?:the|his|her|their|[\w]+'s)\s+(?:\w+\s+)?([a-z]+)\b)"));
    for (const QRegularExpression *re : {&which, &whichOf, &whoWas}) {
        const auto m = re->match(q);
        if (!m.hasMatch())
            continue;
        const QString noun = m.captured(1);
        if (womanWords().contains(noun) && noun != u"her" && noun != u"she")
            asked = Woman;
        else if (manWords().contains(noun) && noun != u"him" && noun != u"he")
            asked = Man;
        if (asked != NoSex)
            break;
    }
    if (asked == NoSex && (q.startsWith(QLatin1String("who ")) || q.startsWith(QLatin1String("whom ")))) {
        bool woman = false, man = false, womanNamed = false, manNamed = false;
        for (const Token &t : tokensOf(r.question)) {
            if (t.quoted)
                continue;
            if (t.lower == u"she" || t.lower == u"her" || t.lower == u"herself")
                woman = true;
            else if (t.lower == u"he" || t.lower == u"him" || t.lower == u"himself" || t.lower == u"his")
                man = true;
            else if (womanWords().contains(t.lower))
                womanNamed = true;
            else if (manWords().contains(t.lower))
                manNamed = true;
            else if (t.capital && t.start > 0) {
                const Sex s = nameSex(t.text);
                womanNamed = womanNamed || s == Woman || s == Mixed;
                manNamed = manNamed || s == Man || s == Mixed || t.text == u"Jesus" || t.text == u"God" || t.text == u"LORD"
                    || t.text == u"Lord" || t.text == u"Christ";
            }
        }
        if (woman && !man && !womanNamed)
            asked = Woman;
        else if (man && !woman && !manNamed)
            asked = Man;
    }
    if (asked != NoSex && sex[0] != NoSex && sex[0] != asked)
        asked = NoSex; // the cue is about someone else
    auto word = [](Sex s) { return s == Woman ? QStringLiteral("a woman") : QStringLiteral("a man"); };
    QStringList out;
    if (asked != NoSex) {
        // The wording rules out every answer of the other sex.
        for (int i = 1; i < 4; ++i)
            if ((sex[i] == Woman || sex[i] == Man) && sex[i] != asked)
                out << QStringLiteral("the question asks for %1, but %2 is %3").arg(word(asked), quoted(r.answers[i]), word(sex[i]));
        return out;
    }
    // Without a cue, the right answer must not be the only one of its sex among people of the
    // other ("A little maid" among a king and a prophet); a wrong answer of the other sex beside
    // one of the right answer's own ("Isaac", "Rebekah", "Abraham", "Laban") gives nothing away.
    if (sex[0] != Woman && sex[0] != Man)
        return out;
    QStringList others;
    for (int i = 1; i < 4; ++i) {
        if (sex[i] == sex[0])
            return out;
        if (sex[i] == Woman || sex[i] == Man)
            others << quoted(r.answers[i]);
    }
    if (others.size() >= 2)
        out << QStringLiteral("the right answer %1 is the only %2 among %3")
                   .arg(quoted(r.answers[0]), sex[0] == Woman ? QStringLiteral("woman") : QStringLiteral("man"),
                        others.join(QStringLiteral(", ")));
    return out;
}

// --- plural --------------------------------------------------------------------------------------

QStringList BankRules::plural(const QuestionRow &r) const
{
    const QString q = r.question.toLower();
    static const QRegularExpression exact(QStringLiteral(R"(\b(?:which|what|name)\s+(two|three|four|five|six|seven)\b)"));
    static const QRegularExpression were(QStringLiteral(R"(^(?:who|which)\s+(?:were|are)\b|^what\s+(?:were|are)\s+the\s+names\b)"));
    static const QRegularExpression whichHead(QStringLiteral(R"(^which\s+([a-z]+)\s+(?!of\b))"));
    static const QRegularExpression single(QStringLiteral(R"(^(?:who|whom)\s+(?:was|is)\b)"));
    // How many things an answer names: a leading number, the items of a list, or one named
    // thing; -1 when it cannot be told ("The Philistines").
    auto count = [](const QString &a) {
        const QList<Token> t = tokensOf(a);
        if (t.isEmpty())
            return -1;
        if (t[0].number)
            return QString(t[0].text).remove(u',').toInt();
        if (isCardinal(t[0]))
            return int(valueOfWords({t[0].lower}));
        const QStringList items = itemsOf(a);
        if (items.size() > 1)
            return int(items.size());
        if (t[0].lower == u"a" || t[0].lower == u"an")
            return 1;
        bool allNames = true;
        for (const Token &w : t)
            allNames = allNames && (w.capital || w.lower == u"the" || w.lower == u"of");
        return allNames && !pluralWord(t.back().lower) ? 1 : -1;
    };
    std::array<int, 4> n;
    for (int i = 0; i < 4; ++i)
        n[i] = count(r.answers[i]);
    QStringList out;
    if (const auto m = exact.match(q); m.hasMatch()) {
        const int wanted = int(valueOfWords({m.captured(1)}));
        if (n[0] != wanted)
            return out;
        for (int i = 1; i < 4; ++i)
            if (n[i] >= 0 && n[i] != wanted)
                out << QStringLiteral("the question asks for %1, but %2 names %3").arg(wanted).arg(quoted(r.answers[i])).arg(n[i]);
        return out;
    }
    bool plural = were.match(q).hasMatch();
    if (const auto m = whichHead.match(q); m.hasMatch() && pluralWord(m.captured(1)) && !r.question.mid(m.capturedStart(1), 1).front().isUpper())
        plural = true;
    if (plural && n[0] != 1) {
        for (int i = 1; i < 4; ++i)
            if (n[i] == 1)
                out << QStringLiteral("the question asks for more than one, but %1 is one").arg(quoted(r.answers[i]));
    } else if (!plural && single.match(q).hasMatch() && n[0] == 1) {
        for (int i = 1; i < 4; ++i)
            if (n[i] > 1 && !tokensOf(r.answers[i])[0].number && !isCardinal(tokensOf(r.answers[i])[0]))
                out << QStringLiteral("the question asks for one, but %1 names %2").arg(quoted(r.answers[i])).arg(n[i]);
    }
    return out;
}

// --- echo ----------------------------------------------------------------------------------------

QStringList BankRules::echo(const QuestionRow &r) const
{
    auto stemsOf = [](const QString &text) {
        QList<QPair<QString, QString>> out; // stem, word
        for (const Token &t : tokensOf(text))
            if (!t.number && !isCardinal(t) && !stopWords().contains(t.lower) && t.lower.size() > 2)
                out << qMakePair(stem(t.lower), t.text);
        return out;
    };
    const auto question = stemsOf(r.question);
    std::array<QList<QPair<QString, QString>>, 4> answers;
    for (int i = 0; i < 4; ++i)
        answers[i] = stemsOf(r.answers[i]);
    QStringList out;
    // A wrong answer that echoes the question too ("Of faith, hope and charity, which is the
    // greatest?") leaves the right one no odder than itself.
    for (int i = 1; i < 4; ++i)
        for (const auto &w : answers[i])
            if (std::any_of(question.begin(), question.end(), [&](const auto &q) { return sameStem(q.first, w.first); })
                && (!m_kjv || frequency(w.second) <= 800))
                return out;
    for (const auto &answerWord : answers[0]) {
        const QString &s = answerWord.first;
        const QString &word = answerWord.second;
        // Common words ("God", "king", "day") say little; the rarer the word, the louder its echo.
        if (m_kjv && frequency(word) > 800)
            continue;
        const auto echoed = std::find_if(question.begin(), question.end(), [&](const auto &q) { return sameStem(q.first, s); });
        if (echoed == question.end())
            continue;
        bool shared = false;
        for (int i = 1; i < 4 && !shared; ++i)
            for (const auto &w : answers[i])
                shared = shared || sameStem(w.first, echoed->first) || sameStem(w.first, s);
        if (!shared) {
            out << QStringLiteral("the question's word %1 comes back only in the right answer %2")
                       .arg(quoted(echoed->second), quoted(r.answers[0]));
            break;
        }
    }
    return out;
}

// --- kind and name -------------------------------------------------------------------------------

QStringList BankRules::kind(const QuestionRow &r) const
{
    // A person or a place: by the answer's head word ("The king of Edom", "The valley of
    // Achor"), or by a name the text calls only a person's or only a place's, often enough.
    static const QSet<QString> placeNouns = setOf({"city", "cities", "town", "village", "valley", "mount", "mountain", "river",
                                                   "brook", "wilderness", "land", "country", "sea", "cave", "hill", "plain"});
    auto kindOf = [this](const QString &answer) {
        const QList<Token> t = tokensOf(answer);
        if (t.isEmpty() || t.size() > 4)
            return 0;
        qsizetype head = t[0].lower == u"the" || t[0].lower == u"a" ? 1 : 0;
        while (head < t.size() && t[head].possessive)
            ++head;
        if (head >= t.size())
            return 0;
        if (womanWords().contains(t[head].lower) || manWords().contains(t[head].lower))
            return 1;
        if (placeNouns.contains(t[head].lower))
            return 2;
        for (const Token &w : t)
            if (!(w.capital || w.lower == u"the" || w.lower == u"of" || w.lower == u"and"))
                return 0;
        const QString &name = t[head].text;
        const int person = m_men.value(name) + m_people.value(name) + m_nations.value(name) + (m_women.contains(name) ? 5 : 0);
        const int place = m_places.value(name) + m_nations.value(name);
        return person >= 3 && place == 0 ? 1 : place >= 3 && person == 0 ? 2 : 0;
    };
    // The kind the question asks for: a person for "who", a place for "where".
    const Shape shape = shapeOf(r.question);
    const int asked = shape == Who ? 1 : shape == Where ? 2 : 0;
    QStringList out;
    if (asked == 0 || kindOf(r.answers[0]) == 3 - asked)
        return out;
    for (int i = 1; i < 4; ++i)
        if (kindOf(r.answers[i]) == 3 - asked)
            out << QStringLiteral("the question asks for a %1, but %2 is a %3")
                       .arg(asked == 1 ? QStringLiteral("person") : QStringLiteral("place"), quoted(r.answers[i]),
                            asked == 1 ? QStringLiteral("place") : QStringLiteral("person"));
    return out;
}

QStringList BankRules::names(const QuestionRow &r) const
{
    QStringList out;
    // A right answer that is a name wants names for wrong answers too; elsewhere a capitalised
    // word after the first is a name all the same.
    const QList<Token> right = tokensOf(r.answers[0]);
    const bool nameRow = !right.isEmpty() && right[0].capital && isProper(right[0].text);
    for (int i = 1; i < 4; ++i) {
        const QList<Token> t = tokensOf(r.answers[i]);
        for (qsizetype k = 0; k < t.size(); ++k) {
            if (!t[k].capital || t[k].number || t[k].quoted || (k == 0 && !nameRow) || inText(t[k].text))
                continue;
            out << QStringLiteral("%1 in the wrong answer %2 is not a name of the King James text").arg(quoted(t[k].text), quoted(r.answers[i]));
        }
    }
    return out;
}

// --- also-true -----------------------------------------------------------------------------------

QStringList BankRules::alsoTrue(const QuestionRow &r) const
{
    // A wrong answer that the passage names in one list with the right answer ("Aaron, Nadab,
    // and Abihu"; "gold, and frankincense, and myrrh") shares whatever the passage says of the
    // right one. Single words only: numbers and phrases of one passage are the usual fair
    // distractors, and "seven sons and three daughters" is no list of the same thing.
    QStringList out;
    QString error;
    const auto passage = m_kjv->passage(r.reference, &error);
    if (!passage)
        return out;
    auto wordOf = [](const QString &answer) {
        const QList<Token> t = tokensOf(answer);
        return t.size() == 1 && !t[0].possessive && !t[0].number && !isCardinal(t[0]) && !stopWords().contains(t[0].lower)
            ? t[0].lower
            : QString();
    };
    const QString right = wordOf(r.answers[0]);
    if (right.isEmpty())
        return out;
    static const QRegularExpression piece(QStringLiteral(R"([A-Za-z]+|[,;:.?!()])"));
    QStringList words;
    for (auto it = piece.globalMatch(passage->text); it.hasNext();)
        words << it.next().captured().toLower();
    auto separator = [](const QString &w) { return w == u"," || w == u"and" || w == u"or" || w == u"nor"; };
    const QString question = r.question.toLower();
    for (int a = 1; a < 4; ++a) {
        const QString wrong = wordOf(r.answers[a]);
        if (wrong.isEmpty() || question.contains(wrong))
            continue;
        bool listed = false;
        for (qsizetype i = 0; i < words.size() && !listed; ++i) {
            if (words[i] != right)
                continue;
            // "Thomas, and Matthew the publican": words after the right answer that the question
            // repeats single it out of the list.
            bool singled = false;
            for (qsizetype k = i + 1; k < std::min(words.size(), i + 4) && !singled && words[k][0].isLetter(); ++k)
                singled = !stopWords().contains(words[k]) && question.contains(words[k]);
            if (singled)
                continue;
            for (qsizetype j = std::max<qsizetype>(0, i - 12); j < std::min(words.size(), i + 13) && !listed; ++j) {
                if (words[j] != wrong || j == i)
                    continue;
                // Between the two only separators and single-word items: "Nadab, and Abihu, and".
                bool list = !separator(words[std::min(i, j) + 1]) ? false : true;
                for (qsizetype k = std::min(i, j) + 1; k < std::max(i, j) && list; ++k)
                    list = separator(words[k]) || (separator(words[k - 1]) && separator(words[k + 1]));
                listed = list;
            }
        }
        if (listed)
            out << QStringLiteral("%1 names the wrong answer %2 in one list with the right answer %3")
                       .arg(r.reference, quoted(r.answers[a]), quoted(r.answers[0]));
    }
    return out;
}

// --- giveaway ------------------------------------------------------------------------------------

void BankRules::giveaways(QuestionBank &bank) const
{
    // Rows by book, each with its chapters; the words of every question, lower-case.
    struct Row
    {
        const QuestionRow *row;
        QString book;
        int from, to;
        QStringList words;
    };
    static const QRegularExpression reference(QStringLiteral(R"(^(.+) (\d+):\d+(?:-(?:(\d+):)?\d+)?$)"));
    QHash<QString, QList<Row>> byBook;
    for (const QuestionRow &r : bank.rows()) {
        const auto m = reference.match(r.reference);
        if (!m.hasMatch())
            continue;
        Row row{&r, m.captured(1) == u"Psalm" ? QStringLiteral("Psalms") : m.captured(1), m.captured(2).toInt(), 0, {}};
        row.to = m.captured(3).isEmpty() ? row.from : m.captured(3).toInt();
        for (const Token &t : tokensOf(r.question))
            row.words << t.lower;
        byBook[row.book] << row;
    }
    auto indexOf = [](const QStringList &words, const QStringList &phrase) {
        for (qsizetype i = 0; i + phrase.size() <= words.size(); ++i)
            if (std::equal(phrase.begin(), phrase.end(), words.begin() + i))
                return i;
        return qsizetype(-1);
    };
    static const QSet<QString> leading = setOf({"the", "a", "an", "his", "her", "their", "its", "by", "to", "in", "at", "on"});
    for (const QList<Row> &rows : std::as_const(byBook)) {
        for (const Row &a : rows) {
            // The answer as words, without a leading article; it must say something of its own:
            // a name, a number, two words that matter or one rare word.
            const QList<Token> answer = tokensOf(a.row->answers[0]);
            QStringList phrase;
            int content = 0;
            bool distinctive = false;
            for (const Token &t : answer) {
                if (phrase.isEmpty() && leading.contains(t.lower))
                    continue;
                phrase << t.lower;
                if (!stopWords().contains(t.lower)) {
                    ++content;
                    distinctive = distinctive || t.number || (t.capital && isProper(t.text)) || (m_kjv && frequency(t.lower) <= 30);
                }
            }
            bool common = m_kjv != nullptr;
            for (const QString &w : phrase)
                common = common && (stopWords().contains(w) || frequency(w) > 500);
            if (phrase.isEmpty() || common || !(distinctive || content >= 2) || indexOf(a.words, phrase) >= 0)
                continue;
            // Words that tie another question to this one's fact: rarer words of this question.
            // A name that several questions of these chapters share is who they are about, and
            // ties nothing.
            QSet<QString> ties;
            for (const Token &t : tokensOf(a.row->question)) {
                if (stopWords().contains(t.lower) || phrase.contains(t.lower) || t.number || isCardinal(t)
                    || (m_kjv && frequency(t.lower) > 400))
                    continue;
                if (t.capital && t.start > 0) {
                    int naming = 0;
                    for (const Row &other : rows)
                        naming += other.to >= a.from && other.from <= a.to && other.words.contains(t.lower);
                    if (naming > 2)
                        continue;
                }
                ties.insert(stem(t.lower));
            }
            for (const Row &b : rows) {
                if (b.row == a.row || b.to < a.from || b.from > a.to)
                    continue;
                const qsizetype at = indexOf(b.words, phrase);
                if (at < 0)
                    continue;
                bool tied = false;
                for (qsizetype k = std::max<qsizetype>(0, at - 8); k < std::min(b.words.size(), at + phrase.size() + 8) && !tied; ++k)
                    tied = (k < at || k >= at + phrase.size()) && ties.contains(stem(b.words[k]));
                if (tied)
                    bank.addFinding(BankFinding::Error, b.row->where,
                                    QStringLiteral("the question names %1, the answer to %2 (%3)")
                                        .arg(quoted(a.row->answers[0]), a.row->where, a.row->question),
                                    QStringLiteral("giveaway"));
            }
        }
    }
}

// --- shapes and the whole bank ---------------------------------------------------------------------

bool BankRules::isQuotation(const QString &question)
{
    static const QRegularExpression cut(QStringLiteral(
        R"((?:\.\.\.|\x{2026})\s*["\x{201D}]|^(?:complete|finish|fill in)\b|["\x{201D}]\s+(?:what|whom|whose|which\s+\w+|how\s+many\s+\w+)\?$)"),
        QRegularExpression::CaseInsensitiveOption);
    return cut.match(question).hasMatch();
}

BankRules::Shape BankRules::shapeOf(const QString &question)
{
    static const QSet<QString> people = setOf(
        {"man", "men", "woman", "women", "king", "kings", "queen", "prophet", "prophets", "prophetess", "priest",
         "priests", "son", "sons", "daughter", "daughters", "brother", "brothers", "sister", "wife", "wives", "judge",
         "judges", "disciple", "disciples", "apostle", "apostles", "person", "people", "tribe", "tribes", "servant",
         "servants", "child", "children", "prince", "princes", "captain", "ruler", "governor", "leader", "angel",
         "angels", "mother", "father", "husband", "friend", "friends", "spy", "spies", "nation", "nations",
         "widow", "damsel", "maid", "emperor", "pharaoh", "elder", "elders",
         "scribe", "chamberlain", "chamberlains", "midwife", "midwives", "raiders", "giant", "enemy", "enemies",
         "levite", "levites", "seer", "deacon", "deacons", "church", "churches", "jew", "jews", "gentile", "gentiles"});
    static const QSet<QString> placesWords = setOf(
        {"city", "cities", "town", "village", "land", "country", "place", "mount", "mountain", "hill", "river",
         "brook", "sea", "island", "isle", "region", "valley", "plain", "wilderness", "cave", "well", "gate", "garden",
         "field", "house", "province", "desert", "pool", "road", "way", "coast", "harbour", "haven", "street",
         "temple", "synagogue", "kingdom"});
    static const QSet<QString> times = setOf(
        {"day", "days", "month", "months", "year", "years", "hour", "hours", "time", "times", "watch", "night",
         "feast", "season", "age", "sabbath", "morning", "evening", "week", "generation"});
    // The asking word: the first word (after a preposition: "In which city"), else the last
    // one, as in "Joshua was the son of whom?"; a "who" inside ("the man who...") asks nothing.
    static const QSet<QString> asking = setOf({"who", "whom", "whose", "where", "whither", "whence", "when", "why", "how", "which", "what"});
    static const QSet<QString> prepositions = setOf({"in", "on", "at", "to", "from", "by", "with", "for", "into", "upon",
                                                     "unto", "after", "before", "under", "through", "against", "toward", "of", "among"});
    const QList<Token> t = tokensOf(question);
    qsizetype i = -1;
    if (!t.isEmpty() && asking.contains(t[0].lower))
        i = 0;
    else if (t.size() > 1 && prepositions.contains(t[0].lower) && asking.contains(t[1].lower))
        i = 1;
    else
        for (qsizetype k = t.size() - 1; k >= 0 && i < 0; --k)
            if (!t[k].quoted && asking.contains(t[k].lower))
                i = k;
    if (i < 0)
        return Other;
    const QString &w = t[i].lower;
    const QString next = i + 1 < t.size() ? t[i + 1].lower : QString();
    if (w == u"who" || w == u"whom" || w == u"whose")
        return Who;
    if (w == u"where" || w == u"whither" || w == u"whence")
        return Where;
    if (w == u"when")
        return When;
    if (w == u"why")
        return Why;
    if (w == u"how")
        return QStringList{"many", "much", "long", "old", "far", "often"}.contains(next) ? HowMany : Other;
    // "which" or "what": the noun it asks about, as in "which king", "what kind of tree",
    // "which of his sons", "which two men".
    QString noun;
    for (qsizetype k = i + 1; k < t.size() && k <= i + 4; ++k) {
        if (t[k].possessive && !t[k].capital && k == i + 1) { // "which city's men"
            noun = t[k].lower;
            break;
        }
        if (t[k].lower == u"of" || t[k].lower == u"kind" || t[k].lower == u"sort" || determiners().contains(t[k].lower)
            || t[k].possessive || t[k].capital || t[k].number || isCardinal(t[k]))
            continue;
        noun = t[k].lower;
        break;
    }
    if (noun == u"book" || noun == u"books" || noun == u"epistle" || noun == u"gospel")
        return WhichBook;
    if (w == u"what" && (noun == u"reason" || noun == u"cause" || noun == u"purpose"))
        return Why;
    if (w == u"which" && people.contains(noun))
        return Who;
    if (placesWords.contains(noun) && noun != u"house" && noun != u"way")
        return Where;
    if (times.contains(noun) && noun != u"times")
        return When;
    if (w == u"what" && noun == u"number")
        return HowMany;
    return What;
}

QString BankRules::shapeName(int shape)
{
    static const char *const names[] = {"who", "what", "where", "when", "how many", "which book", "why", "other"};
    return QLatin1String(names[shape]);
}

BankRules::Summary BankRules::summarise(const QList<QuestionRow> &rows) const
{
    Summary s;
    for (const QuestionRow &r : rows) {
        ++s.rows;
        ++s.perTestament[r.testament];
        s.perDifficulty[r.testament][std::clamp(r.difficulty, 0, 3)]++;
        s.ungraded += r.difficulty == 0;
        s.quotations += isQuotation(r.question);
        ++s.shapes[shapeOf(r.question)];
        QString book = r.reference.left(r.reference.lastIndexOf(u' '));
        if (book == u"Psalm")
            book = QStringLiteral("Psalms");
        if (!m_kjv || m_kjv->books().contains(book))
            ++s.perBook[book];
    }
    return s;
}

namespace {
QString share(int part, int whole) { return QString::number(whole ? 100.0 * part / whole : 0.0, 'f', 1) + u'%'; }
}

QStringList BankRules::describe(const Summary &s)
{
    QStringList out;
    for (const QString &testament : {QStringLiteral("OT"), QStringLiteral("NT")}) {
        const auto d = s.perDifficulty.value(testament);
        const int n = s.perTestament.value(testament);
        out << QStringLiteral("%1: %2 questions; difficulty 1: %3 (%4), 2: %5 (%6), 3: %7 (%8), none: %9")
                   .arg(testament).arg(n)
                   .arg(d[1]).arg(share(d[1], n)).arg(d[2]).arg(share(d[2], n)).arg(d[3]).arg(share(d[3], n)).arg(d[0]);
    }
    QStringList shapes;
    for (int i = 0; i < ShapeCount; ++i)
        shapes << QStringLiteral("%1 %2 (%3)").arg(shapeName(i)).arg(s.shapes[i]).arg(share(s.shapes[i], s.rows));
    out << QStringLiteral("shapes: ") + shapes.join(QStringLiteral(", "));
    out << QStringLiteral("quotations to complete: %1 (%2)").arg(s.quotations).arg(share(s.quotations, s.rows));
    return out;
}

QStringList BankRules::bankFailures(const Summary &s, int borne, int duplicates)
{
    QStringList out;
    auto rule = [&](bool holds, const QString &what) {
        if (!holds)
            out << what;
    };
    const int ot = s.perTestament.value(QStringLiteral("OT")), nt = s.perTestament.value(QStringLiteral("NT"));
    rule(s.rows >= 3000, QStringLiteral("at least 3000 questions are needed (%1)").arg(s.rows));
    rule(ot >= 1700, QStringLiteral("at least 1700 Old Testament questions are needed (%1)").arg(ot));
    rule(nt >= 1100, QStringLiteral("at least 1100 New Testament questions are needed (%1)").arg(nt));
    rule(s.perBook.size() == 66, QStringLiteral("all 66 books must appear (%1)").arg(s.perBook.size()));
    for (auto it = s.perBook.cbegin(); it != s.perBook.cend(); ++it)
        rule(it.value() * 100 <= 8 * s.rows,
             QStringLiteral("no book may hold more than 8% of the questions (%1: %2)").arg(it.key(), share(it.value(), s.rows)));
    rule(s.ungraded == 0, QStringLiteral("every question needs a Difficulty (%1 without)").arg(s.ungraded));
    // About 40% easy, 40% medium and 20% hard in each testament, a few points either way.
    static const int aim[] = {0, 40, 40, 20};
    for (const QString &testament : {QStringLiteral("OT"), QStringLiteral("NT")}) {
        const auto d = s.perDifficulty.value(testament);
        const int n = s.perTestament.value(testament);
        for (int level = 1; level <= 3; ++level)
            rule(n == 0 || std::abs(d[level] * 100 - aim[level] * n) <= 5 * n,
                 QStringLiteral("%1 difficulty %2 should be %3% (5 points either way), not %4")
                     .arg(testament).arg(level).arg(aim[level]).arg(share(d[level], n)));
    }
    rule(s.quotations * 100 <= 15 * s.rows,
         QStringLiteral("at most 15% may be quotations to complete (%1)").arg(share(s.quotations, s.rows)));
    // Each of the common shapes at a fair share.
    static const std::pair<Shape, double> least[] = {{Who, 15}, {What, 15}, {Where, 5}, {When, 3}, {HowMany, 5}, {WhichBook, 1.5}};
    for (const auto &[shape, percent] : least)
        rule(s.shapes[shape] * 100.0 >= percent * s.rows,
             QStringLiteral("at least %1% '%2' questions are needed (%3)").arg(percent).arg(shapeName(shape), share(s.shapes[shape], s.rows)));
    rule(borne >= 0 && borne * 100 >= 99 * s.rows,
         QStringLiteral("at least 99% must be borne out by the passage (%1)").arg(share(std::max(borne, 0), s.rows)));
    rule(duplicates == 0, QStringLiteral("no question may be asked twice (%1 repeated)").arg(duplicates));
    return out;
}
