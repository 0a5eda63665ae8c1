#pragma once

#include <QString>

#include <exception>
#include <utility>

class RunTimeError;

// The question database's location and the common error report. The start-up procedure Main,
// which shows the main window, is in app/Startup.h.
namespace basMain {

// Full path of the question database in use (see DatabaseLocation). Set once by Main.
extern QString DatabasePath;

inline constexpr auto ConnectString = ";pwd=kelpy47";

// True when no ordinary file exists at strPath, after telling the user so.
bool IsFileMissing(const QString &strPath);

// Shows "Error #: " + number + "\r" + description, titled "Error", exclamation icon.
void ReportError(const RunTimeError &error);
// Reports any exception the same way (foreign exceptions become a clear internal error).
void ReportError(const std::exception &error);

// Runs body and reports a run-time error it raises, the way every trapping procedure of the
// game does: the error is shown and the procedure simply ends. Returns false after an error.
template <class Body>
bool Trap(Body &&body)
{
    try {
        std::forward<Body>(body)();
        return true;
    } catch (const std::exception &error) {
        ReportError(error);
        return false;
    }
}
}
