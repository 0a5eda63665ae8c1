// The question tool's reading of a bank text and its row rules. Any bytes are read without a
// crash; every row holds seven fields without tabs or line breaks and names its line; rows
// that pass the rules come back unchanged when written out as bank text and read again, as
// the tool's export and build do; the key-word test runs on every row's texts.
#include "FuzzSupport.h"

#include "tools/QuestionBank.h"
#include "tools/QuestionDatabase.h"

#include <QSet>

namespace {
const QString Source = QStringLiteral("fuzz.tsv");

QStringList fieldsOf(const QuestionRow &r)
{
    return {r.question, r.answers[0], r.answers[1], r.answers[2], r.answers[3], r.testament, r.reference};
}

bool sameFields(const QuestionRow &a, const QuestionRow &b) { return fieldsOf(a) == fieldsOf(b); }
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QuestionBank bank;
    bank.parse(text, Source);
    const qsizetype lines = text.count('\n') + 1;
    for (const QuestionRow &r : bank.rows()) {
        for (const QString &f : fieldsOf(r))
            FUZZ_CHECK(!f.contains(u'\t') && !f.contains(u'\n') && !f.contains(QChar::ReplacementCharacter), f);
        bool ok = false;
        const qsizetype line = r.where.startsWith(Source + u':') ? r.where.mid(Source.size() + 1).toLongLong(&ok) : 0;
        FUZZ_CHECK(ok && line >= 2 && line <= lines, r.where); // line 1 is the header at the earliest
    }
    const qsizetype rowsRead = bank.rows().size();
    const qsizetype findingsOfParse = bank.findings().size();
    FUZZ_CHECK(rowsRead < lines, QString::number(rowsRead));

    bank.checkRows();
    FUZZ_CHECK(bank.rows().size() == rowsRead, QStringLiteral("the rules changed the rows"));

    // The rows without an error finding: written out and read again, they are the same rows.
    QSet<QString> faulty;
    for (qsizetype i = findingsOfParse; i < bank.findings().size(); ++i) {
        const BankFinding &f = bank.findings()[i];
        FUZZ_CHECK(f.kind == BankFinding::Error || f.kind == BankFinding::Note, f.message);
        FUZZ_CHECK(!f.where.isEmpty() && !f.message.isEmpty(), f.message);
        if (f.kind == BankFinding::Error)
            faulty.insert(f.where);
    }
    QList<QuestionRow> good;
    for (const QuestionRow &r : bank.rows())
        if (!faulty.contains(r.where))
            good << r;
    QuestionBank again;
    again.parse(QuestionDatabase::ToText(good), Source);
    FUZZ_CHECK(again.errorCount() == 0 && again.rows().size() == good.size(),
               QStringLiteral("%1 good rows read back as %2, %3 errors").arg(good.size()).arg(again.rows().size()).arg(again.errorCount()));
    for (qsizetype i = 0; i < good.size(); ++i)
        FUZZ_CHECK(sameFields(good[i], again.rows()[i]), fieldsOf(good[i]).join(u'|'));

    for (const QuestionRow &r : bank.rows()) {
        QuestionBank::BorneOut(r.answers[0], r.question + u' ' + r.reference);
        QuestionBank::BorneOut(r.question, r.answers[1]);
    }
    return 0;
}
