#include "import/QuestionImport.h"

#include "bible/KjvText.h"
#include "core/Progress.h"
#include "core/RunTimeError.h"
#include "db/Database.h"
#include "db/QuestionSchema.h"
#include "db/Statement.h"
#include "import/QuestionSets.h"

#include <QHash>

#include <array>

namespace QuestionImport {
namespace {
enum Column { Question, Answer1, Answer2, Answer3, Answer4, Testament, Reference, Difficulty, Columns };
const char *const ColumnNames[Columns] = {"Question", "Answer1", "Answer2", "Answer3", "Answer4", "Testament", "Reference", "Difficulty"};

QStringList foldedNames()
{
    QStringList names;
    for (const char *name : ColumnNames)
        names << CsvReader::Folded(QLatin1String(name));
    return names;
}

struct Stopped
{
};

bool hasControl(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

// "OT" or "NT" for the ways a spreadsheet may write a testament; "" for an empty cell; the
// text itself when it is none of them.
QString testamentCode(const QString &text)
{
    const QString folded = text.toCaseFolded();
    if (folded == u"ot" || folded == u"old" || folded == u"old testament")
        return QStringLiteral("OT");
    if (folded == u"nt" || folded == u"new" || folded == u"new testament")
        return QStringLiteral("NT");
    return text;
}

// 1 to 3 for a difficulty cell (a digit or its word), 0 for an empty one, -1 for anything else.
int difficultyLevel(const QString &text)
{
    static const QStringList levels{QString(), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
    static const QStringList words{QString(), QStringLiteral("easy"), QStringLiteral("medium"), QStringLiteral("hard")};
    const qsizetype at = levels.indexOf(text);
    return at >= 0 ? int(at) : int(words.indexOf(text.toCaseFolded()));
}

QString testamentName(const QString &code) { return code == u"OT" ? QStringLiteral("Old") : QStringLiteral("New"); }
}

QString Key(const QString &question, const QString &rightAnswer)
{
    return question.simplified().toCaseFolded() + QChar(0x1F) + rightAnswer.simplified().toCaseFolded();
}

QSet<QString> ExistingKeys(Database &db)
{
    QSet<QString> keys;
    if (!db.hasTable(QuestionSchema::TableName()))
        return keys;
    Statement q(db.handle(), QStringLiteral("SELECT Question, Answer1 FROM %1").arg(QuestionSchema::TableName()));
    while (q.step())
        keys.insert(Key(q.value(0).toString(), q.value(1).toString()));
    return keys;
}

QString Unguarded(const QString &cell)
{
    qsizetype i = 0;
    while (i < cell.size() && cell[i] == u'\'')
        ++i;
    static const QString triggers = QStringLiteral("=+-@\t\r");
    return i > 0 && i < cell.size() && triggers.contains(cell[i]) ? cell.mid(1) : cell;
}

Preview CheckText(const QByteArray &text, const KjvText &kjv, const QSet<QString> &existing, Progress *progress)
{
    return Check(CsvReader::Read(text, foldedNames()), kjv, existing, progress);
}

Preview CheckFile(const QString &path, const KjvText &kjv, const QSet<QString> &existing, Progress *progress)
{
    return Check(CsvReader::ReadFile(path, foldedNames()), kjv, existing, progress);
}

Preview Check(const CsvReader::Table &table, const KjvText &kjv, const QSet<QString> &existing, Progress *progress)
{
    Preview preview;
    preview.error = table.error;
    if (!preview.error.isEmpty())
        return preview;
    if (table.records.isEmpty()) {
        preview.error = QStringLiteral("The file is empty.");
        return preview;
    }

    // The header: where each column is.
    const CsvReader::Record &header = table.records.first();
    const QStringList names = foldedNames();
    std::array<qsizetype, Columns> at;
    at.fill(-1);
    for (qsizetype i = 0; i < header.cells.size(); ++i) {
        const QString name = header.cells[i].simplified();
        const qsizetype column = names.indexOf(CsvReader::Folded(name));
        if (column < 0) {
            if (!name.isEmpty())
                preview.ignoredColumns << name;
            continue;
        }
        if (at[std::size_t(column)] >= 0) {
            preview.error = QStringLiteral("The header on line %1 names the column %2 twice.").arg(header.line).arg(QLatin1String(ColumnNames[column]));
            return preview;
        }
        at[std::size_t(column)] = i;
    }
    QStringList missing;
    for (int column : {Question, Answer1, Answer2, Answer3, Answer4, Reference})
        if (at[std::size_t(column)] < 0)
            missing << QLatin1String(ColumnNames[column]);
    if (!missing.isEmpty()) {
        preview.error = QStringLiteral("The first line must name the columns Question, Answer1 (the right answer), Answer2,"
                                       " Answer3, Answer4, Testament and Reference; it lacks %1.")
                            .arg(missing.join(QStringLiteral(", ")));
        return preview;
    }
    preview.total = table.records.size() - 1;
    if (preview.total == 0) {
        preview.error = QStringLiteral("The file holds only its header line, no questions.");
        return preview;
    }

    QHash<QString, qsizetype> seen; // key -> line, of the rows of this file
    for (qsizetype r = 1; r < table.records.size(); ++r) {
        if (r % 500 == 0 && !Progress::step(progress, QStringLiteral("Checking the questions"), r, preview.total)) {
            preview = Preview{};
            preview.error = QStringLiteral("The import was stopped.");
            return preview;
        }
        const CsvReader::Record &record = table.records[r];
        std::array<QString, Columns> cell;
        for (int column = 0; column < Columns; ++column) {
            const qsizetype index = at[std::size_t(column)];
            if (index >= 0 && index < record.cells.size())
                cell[std::size_t(column)] = Unguarded(record.cells[index]).simplified();
        }
        QStringList reasons;
        // Text beyond the header's last column (empty cells there are what spreadsheets add).
        for (qsizetype i = header.cells.size(); i < record.cells.size(); ++i)
            if (!record.cells[i].trimmed().isEmpty()) {
                reasons << QStringLiteral("the line has %1 cells, the header only %2").arg(record.cells.size()).arg(header.cells.size());
                break;
            }
        for (int column : {Question, Answer1, Answer2, Answer3, Answer4, Reference})
            if (cell[std::size_t(column)].isEmpty())
                reasons << QStringLiteral("%1 is empty").arg(QLatin1String(ColumnNames[column]));
        for (int column = 0; column < Columns; ++column)
            if (hasControl(cell[std::size_t(column)]))
                reasons << QStringLiteral("%1 holds a control character").arg(QLatin1String(ColumnNames[column]));
        if (cell[Question].size() > MaxQuestionLength)
            reasons << QStringLiteral("Question is too long to show: %1 characters, at most %2")
                           .arg(cell[Question].size()).arg(MaxQuestionLength);
        for (int a = Answer1; a <= Answer4; ++a) {
            const QString &answer = cell[std::size_t(a)];
            if (answer.size() > MaxAnswerLength)
                reasons << QStringLiteral("%1 is too long for its button: %2 characters, at most %3")
                               .arg(QLatin1String(ColumnNames[a])).arg(answer.size()).arg(MaxAnswerLength);
            for (int b = Answer1; b < a; ++b)
                if (!answer.isEmpty() && answer.compare(cell[std::size_t(b)], Qt::CaseInsensitive) == 0)
                    reasons << QStringLiteral("%1 and %2 are the same answer ('%3')")
                                   .arg(QLatin1String(ColumnNames[b]), QLatin1String(ColumnNames[a]), answer);
        }
        const int level = difficultyLevel(cell[Difficulty]);
        if (level < 0)
            reasons << QStringLiteral("Difficulty must be 1 (easy), 2 (medium) or 3 (hard), or left empty, not '%1'").arg(cell[Difficulty]);
        QString testament = testamentCode(cell[Testament]);
        if (!testament.isEmpty() && testament != u"OT" && testament != u"NT")
            reasons << QStringLiteral("Testament must be OT or NT, or left empty, not '%1'").arg(testament);
        if (!cell[Reference].isEmpty()) {
            QString why;
            if (const auto passage = kjv.passage(cell[Reference], &why)) {
                if (testament.isEmpty())
                    testament = passage->testament;
                else if ((testament == u"OT" || testament == u"NT") && testament != passage->testament)
                    reasons << QStringLiteral("the testament is %1, but %2 is in the %3 Testament")
                                   .arg(testament, passage->book, testamentName(passage->testament));
            } else {
                reasons << why;
            }
        }
        if (!reasons.isEmpty()) {
            preview.problems << RowNote{record.line, reasons.join(QStringLiteral("; "))};
            continue;
        }
        const QString key = Key(cell[Question], cell[Answer1]);
        if (existing.contains(key)) {
            preview.duplicates << RowNote{record.line, QStringLiteral("the question is already in the database")};
            continue;
        }
        if (const auto earlier = seen.constFind(key); earlier != seen.constEnd()) {
            preview.duplicates << RowNote{record.line, QStringLiteral("the same question as line %1").arg(*earlier)};
            continue;
        }
        seen.insert(key, record.line);
        preview.rows << QuestionRow{cell[Question], {cell[Answer1], cell[Answer2], cell[Answer3], cell[Answer4]}, testament,
                                    cell[Reference], level, QString::number(record.line)};
    }
    return preview;
}

qsizetype Import(Database &db, const QList<QuestionRow> &rows, const QString &set, Progress *progress)
{
    if (const QString problem = QuestionSets::NameProblem(set); !problem.isEmpty())
        throw RunTimeError(Err::InvalidCall, problem);
    const QString name = QuestionSets::Tidy(set);
    if (!db.hasTable(QuestionSchema::TableName()))
        throw RunTimeError(Err::TableNotFound, QStringLiteral("The database has no table '%1'.").arg(QuestionSchema::TableName()));
    try {
        Transaction transaction(db);
        QuestionSchema::Upgrade(db);
        qint64 sort = 0;
        {
            Statement last(db.handle(), QStringLiteral("SELECT ifnull(max(Sort), 0) FROM %1").arg(QuestionSchema::TableName()));
            if (last.step())
                sort = last.int64(0);
        }
        Statement insert(db.handle(), QuestionSchema::InsertSql());
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (i % 500 == 0 && !Progress::step(progress, QStringLiteral("Writing the questions"), i, rows.size()))
                throw Stopped{};
            QuestionSchema::BindRow(insert, rows[i], ++sort, name);
            insert.step();
        }
        if (!Progress::step(progress, QStringLiteral("Writing the questions"), rows.size(), rows.size()))
            throw Stopped{};
        transaction.commit();
    } catch (const Stopped &) {
        return -1;
    }
    return rows.size();
}
}
