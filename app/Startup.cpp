#include "app/Startup.h"

#include "app/frmMain.h"
#include "core/basMain.h"

namespace basMain {

bool Main(const QString &programFolder)
{
    bool shown = false;
    Trap([&] {
        DatabasePath = programFolder + QLatin1String(DatabaseFileName);
        if (IsFileMissing(DatabasePath))
            return;
        auto *window = new frmMain;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->Form_Load();
        window->show();
        shown = true;
    });
    return shown;
}
}
