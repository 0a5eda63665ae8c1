#pragma once

#include "core/basMain.h"
#include "db/DataControl.h"
#include "db/QuestionSchema.h"

#include <QString>

// What the benchmarks share: the game's password and its deck opened as the game opens it.
namespace BenchSupport {

inline const QString Password = DataControl::passwordOf(QString::fromLatin1(basMain::ConnectString));

inline void openControl(DataControl &dat, const QString &path)
{
    dat.Connect = QString::fromLatin1(basMain::ConnectString);
    dat.DatabaseName = path;
    dat.RecordSource = QuestionSchema::TableName();
    dat.Refresh();
}
}
