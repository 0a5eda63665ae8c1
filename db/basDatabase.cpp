#include "db/basDatabase.h"

#include "db/DataControl.h"
#include "db/DatabaseFile.h"
#include "core/MessageBox.h"
#include "core/RunTimeError.h"
#include "core/basMain.h"

#include <QFile>
#include <QFileInfo>

namespace basDatabase {
namespace {
// The temporary file of the maintenance commands: "Temp.mdb" in the database's folder (the
// folder of the file a symbolic link leads to, so the new file can be renamed over it).
QString TemporaryPath(const QString &strPath)
{
    return QFileInfo(DatabaseFile::target(strPath)).absolutePath() + QStringLiteral("/Temp.mdb");
}

// After a command that stopped, the database file is the one it was: the connection is
// opened on it again so that the next game can deal. If even that fails, the new game that
// follows reports why it has no questions, so nothing more is said here.
void ReopenQuietly(DataControl &datData)
{
    try {
        if (!datData.isOpen())
            datData.Refresh();
    } catch (const std::exception &) {
    }
}
}

void CompactDatabase(DataControl &datData, const QString &strPath)
{
    const bool done = basMain::Trap([&] {
        datData.CloseDatabase();
        const QString strTemp = TemporaryPath(strPath);
        DeleteFileIfExists(strTemp);
        DatabaseFile(strPath, DataControl::passwordOf(datData.Connect)).compact(strTemp);
        datData.Refresh();
        MsgBox::show(QStringLiteral("Successfully compacted the '") + strPath + QStringLiteral("' database."),
                     MsgBox::Exclamation, QStringLiteral("Compact Database"));
    });
    if (!done)
        ReopenQuietly(datData);
}

void RepairDatabase(DataControl &datData, const QString &strPath)
{
    const bool done = basMain::Trap([&] {
        datData.CloseDatabase();
        const QString strTemp = TemporaryPath(strPath);
        DeleteFileIfExists(strTemp);
        const DatabaseFile::RepairResult result =
            DatabaseFile(strPath, DataControl::passwordOf(datData.Connect)).repair(strTemp);
        datData.Refresh();
        QString strMessage = QStringLiteral("Successfully repaired the '") + strPath + QStringLiteral("' database.");
        if (result.salvaged && result.total >= 0)
            strMessage += QStringLiteral("\r%1 of %2 questions were saved.").arg(result.saved).arg(result.total);
        else if (result.salvaged)
            strMessage += QStringLiteral("\r%1 questions were saved; how many were lost cannot be told.").arg(result.saved);
        if (!result.kept.isEmpty())
            strMessage += QStringLiteral("\rThe damaged file was kept as '%1'.").arg(result.kept);
        MsgBox::show(strMessage, MsgBox::Exclamation, QStringLiteral("Repair Database"));
    });
    if (!done)
        ReopenQuietly(datData);
}

void DeleteFileIfExists(const QString &strPath)
{
    basMain::Trap([&] {
        // Only an ordinary file is deleted; a folder or anything else of that name stays, and
        // the command that wanted the name free then says so.
        if (QFileInfo(strPath).isFile() && !QFile::remove(strPath))
            throw RunTimeError(Err::FileAccess, QStringLiteral("Couldn't delete the file '%1'.").arg(strPath));
    });
}
}
