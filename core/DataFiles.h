#pragma once

#include <QString>

// Where the program finds the files it ships with (the pristine question database, the help
// file, the King James text): beside the program first, which is how it runs from its build
// folder or from a portable copy; otherwise in the installed data folder, found relative to the
// program, so the whole installation may be moved elsewhere and still work.
namespace DataFiles {

// The folder of the running program (set by start-up; the application's folder by default).
QString ProgramFolder();
void SetProgramFolder(const QString &folder);

// The installed data folder: the program's folder followed by the path from the installed
// programs to the installed data, fixed when the program is built ("../share/quillory").
QString InstalledFolder();

// name beside the program when it is there, else in the installed data folder (whether or not
// it is there: the path the program looked for last).
QString Find(const QString &name);
}
