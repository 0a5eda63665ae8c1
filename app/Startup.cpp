#include "app/Startup.h"

#include "app/frmMain.h"
#include "core/DataFiles.h"
#include "core/Log.h"
#include "core/basMain.h"
#include "db/DataControl.h"
#include "db/DatabaseLocation.h"

namespace basMain {

bool Main(const QString &programFolder, bool showHelp)
{
    bool shown = false;
    Trap([&] {
        // Beside the program, else the player's own copy, made on first start from the
        // installed one; without any, the message names the path looked for last.
        DataFiles::SetProgramFolder(programFolder);
        const DatabaseLocation::Choice choice =
            DatabaseLocation::Choose(programFolder, DataFiles::InstalledFolder(), DatabaseLocation::UserFolder(),
                                     DataControl::passwordOf(QString::fromLatin1(ConnectString)));
        DatabasePath = choice.path.isEmpty() ? choice.lookedFor : choice.path;
        if (IsFileMissing(DatabasePath))
            return;
        qCInfo(lcStartup) << "question database:" << DatabasePath << (choice.created ? "(made from the installed copy)" : "");
        auto *window = new frmMain;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->Form_Load();
        window->show();
        shown = true;
        if (showHelp)
            window->mnuHelpContents_Click();
    });
    return shown;
}
}
