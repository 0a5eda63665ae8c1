#include "core/DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace DataFiles {
namespace {
QString &programFolder()
{
    static QString folder;
    return folder;
}
}

QString ProgramFolder()
{
    return programFolder().isEmpty() ? QCoreApplication::applicationDirPath() : programFolder();
}

void SetProgramFolder(const QString &folder) { programFolder() = folder; }

QString InstalledFolder()
{
#ifdef QUILLORY_DATA_FROM_PROGRAM
    return QDir::cleanPath(ProgramFolder() + u'/' + QStringLiteral(QUILLORY_DATA_FROM_PROGRAM));
#else
    return ProgramFolder();
#endif
}

QString Find(const QString &name)
{
    const QString beside = ProgramFolder() + u'/' + name;
    return QFileInfo(beside).isFile() ? beside : InstalledFolder() + u'/' + name;
}
}
