#include "db/basDatabase.h"

#include "db/DataControl.h"
#include "db/DatabaseFile.h"
#include "core/MessageBox.h"
#include "core/Progress.h"
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
// The file's work, told to a progress reporter: each step as it starts, and the step again
// now and then while it runs.
DatabaseFile Watched(const QString &strPath, const DataControl &datData, const ProgressRun &run, QString &current)
{
    DatabaseFile file(strPath, DataControl::passwordOf(datData.Connect));
    file.progress = [&run, &current](const QString &step) {
        current = step.left(1).toUpper() + step.mid(1);
        run.step(current, 0, 0);
    };
    file.tick = [&run, &current] { run.step(current, 0, 0); };
    return file;
}

void ReopenQuietly(DataControl &datData)
{
    try {
        if (!datData.isOpen())
            datData.Refresh();
    } catch (const std::exception &) {
    }
}
}

void CompactDatabase(DataControl &datData, const QString &strPath, Progress *progress)
{
    const bool done = basMain::Trap([&] {
        datData.CloseDatabase();
        const QString strTemp = TemporaryPath(strPath);
        DeleteFileIfExists(strTemp);
        QString current;
        {
            const ProgressRun run(progress, QStringLiteral("Compact Database"), false);
            Watched(strPath, datData, run, current).compact(strTemp);
        }
        datData.Refresh();
        MsgBox::show(QStringLiteral("Successfully compacted the '") + strPath + QStringLiteral("' database."),
                     MsgBox::Exclamation, QStringLiteral("Compact Database"));
    });
    if (!done)
        ReopenQuietly(datData);
}

void RepairDatabase(DataControl &datData, const QString &strPath, Progress *progress)
{
    const bool done = basMain::Trap([&] {
        datData.CloseDatabase();
        const QString strTemp = TemporaryPath(strPath);
        DeleteFileIfExists(strTemp);
        QString current;
        DatabaseFile::RepairResult result;
        {
            const ProgressRun run(progress, QStringLiteral("Repair Database"), false);
            result = Watched(strPath, datData, run, current).repair(strTemp);
        }
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
