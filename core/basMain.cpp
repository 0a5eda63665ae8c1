#include "core/basMain.h"

#include "core/MessageBox.h"
#include "core/RunTimeError.h"

#include <QFileInfo>

namespace basMain {

QString DatabasePath;

bool IsFileMissing(const QString &strPath)
{
    bool missing = false;
    Trap([&] {
        const QFileInfo info(strPath);
        missing = strPath.isEmpty() || !info.isFile();
        if (missing)
            MsgBox::show(QStringLiteral("Couldn't find file '") + strPath + QStringLiteral("'."),
                         MsgBox::Exclamation, QStringLiteral("Error"));
    });
    return missing;
}

void ReportError(const RunTimeError &error)
{
    MsgBox::show(QStringLiteral("Error #: ") + QString::number(error.number()) + QChar('\r')
                     + error.description(),
                 MsgBox::Exclamation, QStringLiteral("Error"));
}

void ReportError(const std::exception &error)
{
    if (const auto *runTime = dynamic_cast<const RunTimeError *>(&error)) {
        ReportError(*runTime);
        return;
    }
    // Anything else (out of memory, a library's own exception) still reaches the user as an
    // error report instead of ending the program.
    ReportError(RunTimeError(51, QStringLiteral("Internal error: ") + QString::fromLocal8Bit(error.what())));
}
}
