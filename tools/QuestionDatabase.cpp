#include "tools/QuestionDatabase.h"

#include "db/Database.h"
#include "db/DatabaseFile.h"
#include "db/QuestionSchema.h"
#include "core/RunTimeError.h"
#include "db/Statement.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace QuestionDatabase {

void Write(const QString &path, const QString &password, const QList<QuestionRow> &rows)
{
    const QString temporary = path + QStringLiteral(".new");
    QFile::remove(temporary);
    {
        auto db = Database::open(temporary, password, Database::Mode::Create);
        db->exec(QuestionSchema::CreateTableSql());
        QuestionSchema::StampVersion(*db);
        Transaction transaction(*db);
        Statement insert(db->handle(), QuestionSchema::InsertSql());
        qint64 sort = 0;
        for (const QuestionRow &r : rows) {
            QuestionSchema::BindRow(insert, r, ++sort, QString());
            insert.step();
        }
        transaction.commit();
        db->close();
    }
    // The old file stays whole until the new one, flushed to the disk, is renamed over it.
    try {
        DatabaseFile::flushFile(temporary);
        DatabaseFile::replaceFile(temporary, path);
        DatabaseFile::flushFolder(QFileInfo(path).absolutePath());
    } catch (...) {
        QFile::remove(temporary);
        throw;
    }
}

QList<QuestionRow> Read(const QString &path, const QString &password)
{
    auto db = Database::open(path, password, Database::Mode::ReadOnly);
    // A database of the first edition has no Difficulty column.
    const bool hasDifficulty = db->columns(QuestionSchema::TableName()).contains(QStringLiteral("Difficulty"), Qt::CaseInsensitive);
    Statement q(db->handle(), QStringLiteral(
        "SELECT rowid, Question, Answer1, Answer2, Answer3, Answer4, Testament, Reference, %1 FROM %2 ORDER BY rowid")
        .arg(hasDifficulty ? QStringLiteral("Difficulty") : QStringLiteral("NULL"), QuestionSchema::TableName()));
    QList<QuestionRow> rows;
    while (q.step()) {
        QuestionRow r;
        r.where = QStringLiteral("%1:#%2").arg(path).arg(q.int64(0));
        r.question = q.value(1).toString();
        for (int i = 0; i < 4; ++i)
            r.answers[std::size_t(i)] = q.value(2 + i).toString();
        r.testament = q.value(6).toString();
        r.reference = q.value(7).toString();
        const qint64 level = q.int64(8);
        r.difficulty = level >= 1 && level <= 3 ? int(level) : 0;
        rows << r;
    }
    return rows;
}

QByteArray ToText(const QList<QuestionRow> &rows)
{
    QByteArray out = QuestionBank::header().join(u'\t').toUtf8() + '\n';
    auto clean = [](QString s) { return s.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' '); };
    for (const QuestionRow &r : rows) {
        QStringList cleaned;
        for (const QString &f : r.cells())
            cleaned << clean(f);
        out += cleaned.join(u'\t').toUtf8() + '\n';
    }
    return out;
}
}
