#include "db/QuestionSchema.h"

namespace QuestionSchema {

QString TableName() { return QString::fromLatin1(Table); }

QString CreateTableSql()
{
    return QStringLiteral("CREATE TABLE %1 (ID INTEGER PRIMARY KEY, Question TEXT, Answer1 TEXT, Answer2 TEXT,"
                          " Answer3 TEXT, Answer4 TEXT, Testament TEXT, Reference TEXT, Sort INTEGER, Difficulty INTEGER)")
        .arg(TableName());
}
}
