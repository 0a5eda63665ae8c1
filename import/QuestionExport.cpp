#include "import/QuestionExport.h"

#include "core/RunTimeError.h"
#include "db/Database.h"
#include "db/QuestionSchema.h"
#include "db/Statement.h"

#include <QSaveFile>

namespace QuestionExport {

QList<QuestionRow> Rows(Database &db, const std::optional<QString> &set)
{
    const bool hasDifficulty = db.columns(QuestionSchema::TableName()).contains(QStringLiteral("Difficulty"), Qt::CaseInsensitive);
    const QString setExpression = QuestionSchema::SetExpression(db);
    Statement q(db.handle(), QStringLiteral("SELECT Question, Answer1, Answer2, Answer3, Answer4, Testament, Reference, %1 FROM %2"
                                            " WHERE ?1 IS NULL OR %3 = ?1 ORDER BY rowid")
                                 .arg(hasDifficulty ? QStringLiteral("Difficulty") : QStringLiteral("NULL"),
                                      QuestionSchema::TableName(), setExpression));
    q.bind(1, set ? QVariant(*set) : QVariant());
    QList<QuestionRow> rows;
    while (q.step()) {
        QuestionRow r;
        r.question = q.value(0).toString();
        for (int a = 0; a < 4; ++a)
            r.answers[std::size_t(a)] = q.value(1 + a).toString();
        r.testament = q.value(5).toString();
        r.reference = q.value(6).toString();
        bool graded = false;
        const qint64 level = q.value(7).toLongLong(&graded);
        r.difficulty = graded && level >= 1 && level <= 3 ? int(level) : 0;
        rows << r;
    }
    return rows;
}

QString Cell(const QString &text)
{
    QString cell = text;
    qsizetype i = 0;
    while (i < cell.size() && cell[i] == u'\'')
        ++i;
    static const QString triggers = QStringLiteral("=+-@\t\r");
    if (i < cell.size() && triggers.contains(cell[i]))
        cell.prepend(u'\'');
    static const QString special = QStringLiteral(",;\"\t\r\n");
    const bool quote = std::any_of(cell.cbegin(), cell.cend(), [](QChar c) { return special.contains(c); })
                       || (!cell.isEmpty() && (cell.front().isSpace() || cell.back().isSpace()));
    if (quote)
        return u'"' + cell.replace(u'"', QStringLiteral("\"\"")) + u'"';
    return cell;
}

QByteArray Csv(const QList<QuestionRow> &rows)
{
    QByteArray out("\xEF\xBB\xBF");
    out += "Question,Answer1,Answer2,Answer3,Answer4,Testament,Reference,Difficulty\r\n";
    for (const QuestionRow &r : rows) {
        QStringList written;
        for (const QString &c : r.cells())
            written << Cell(c);
        out += written.join(u',').toUtf8() + "\r\n";
    }
    return out;
}

void WriteFile(const QString &path, const QList<QuestionRow> &rows)
{
    QSaveFile file(path);
    const QByteArray bytes = Csv(rows);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw RunTimeError(Err::FileAccess, QStringLiteral("Couldn't write the file '%1': %2.").arg(path, file.errorString()));
}
}
