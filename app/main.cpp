// Quillory: a multiple-choice scripture quiz for one to four players.
#include "app/QtMessageBoxes.h"
#include "app/Startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillory"));
    QtMessageBoxes::install();
    if (!basMain::Main(QCoreApplication::applicationDirPath()))
        return 0;
    return QApplication::exec();
}
