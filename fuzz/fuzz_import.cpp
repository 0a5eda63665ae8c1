// The import of a spreadsheet's file: any bytes read and judged as the game's Import Questions
// does. Every input ends in a refusal with a reason and no row, or in rows that keep the rules
// (no empty, overlong or repeated answer, a testament, tidy text); the rows, the rows at fault
// and the rows skipped add up to the rows of the file, each on a line of it; and the good rows,
// exported as CSV and imported again, come back as the same rows.
#include "FuzzSupport.h"

#include "bible/KjvText.h"
#include "import/QuestionExport.h"
#include "import/QuestionImport.h"

namespace {
const KjvText *kjv = nullptr;

bool tidy(const QString &text, int longest)
{
    return !text.isEmpty() && text.size() <= longest && text == text.simplified()
           && std::none_of(text.cbegin(), text.cend(), [](QChar c) { return c.category() == QChar::Other_Control; });
}
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::init();
    QString error;
    static const std::optional<KjvText> text = KjvText::load(QStringLiteral(QUILLORY_SOURCE_DIR "/data/kjv.tsv.gz"), &error);
    if (!text)
        FuzzSupport::fail("the King James text loads", error);
    kjv = &*text;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QuestionImport::Preview p = QuestionImport::CheckText(bytes, *kjv, {});
    if (!p.error.isEmpty()) {
        FUZZ_CHECK(p.rows.isEmpty() && p.problems.isEmpty() && p.duplicates.isEmpty(), p.error);
        return 0;
    }
    FUZZ_CHECK(p.rows.size() + p.problems.size() + p.duplicates.size() == p.total, QString::number(p.total));
    const qsizetype lines = bytes.count('\n') + bytes.count('\r') + 1;
    for (const QuestionImport::RowNote &n : p.problems + p.duplicates)
        FUZZ_CHECK(n.line >= 2 && n.line <= lines && !n.reason.isEmpty(), n.reason);
    for (const QuestionRow &r : p.rows) {
        const qsizetype line = r.where.toLongLong();
        FUZZ_CHECK(line >= 2 && line <= lines, r.where);
        FUZZ_CHECK(tidy(r.question, QuestionImport::MaxQuestionLength) && tidy(r.reference, 100), r.question + u'|' + r.reference);
        FUZZ_CHECK((r.testament == u"OT" || r.testament == u"NT") && r.difficulty >= 0 && r.difficulty <= 3, r.cells().join(u'|'));
        for (std::size_t a = 0; a < 4; ++a) {
            FUZZ_CHECK(tidy(r.answers[a], QuestionImport::MaxAnswerLength), r.answers[a]);
            for (std::size_t b = 0; b < a; ++b)
                FUZZ_CHECK(r.answers[a].compare(r.answers[b], Qt::CaseInsensitive) != 0, r.answers[a]);
        }
    }

    const QuestionImport::Preview again = QuestionImport::CheckText(QuestionExport::Csv(p.rows), *kjv, {});
    if (p.rows.isEmpty())
        return 0;
    FUZZ_CHECK(again.error.isEmpty() && again.problems.isEmpty() && again.duplicates.isEmpty() && again.rows.size() == p.rows.size(),
               again.error + again.problems.value(0).reason + again.duplicates.value(0).reason);
    for (qsizetype i = 0; i < p.rows.size(); ++i)
        FUZZ_CHECK(again.rows[i].cells() == p.rows[i].cells(), p.rows[i].cells().join(u'|'));
    return 0;
}
