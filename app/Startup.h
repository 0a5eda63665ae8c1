#pragma once

#include <QString>

namespace basMain {
// The start-up procedure: finds the question database (see DatabaseLocation) or says which file
// is missing, then shows the main window, and with showHelp the help contents as well. Returns
// false when the program must end at once (no window was created).
bool Main(const QString &programFolder, bool showHelp = false);
}
