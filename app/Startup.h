#pragma once

#include <QString>

namespace basMain {
// The start-up procedure: finds the database in programFolder (the folder of the executable)
// or says which file is missing, then shows the main window. Returns false when the program
// must end at once (no window was created).
bool Main(const QString &programFolder);
}
