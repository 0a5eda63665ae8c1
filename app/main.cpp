// Quillory: a multiple-choice scripture quiz for one to four players.
#include "basMain.h"
#include "QtMessageBoxes.h"

#include <QApplication>
#include <QFont>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillory"));
    // The windows are designed in "MS Sans Serif"; use the closest sans font installed.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QtMessageBoxes::install();
    if (!basMain::Main(QCoreApplication::applicationDirPath()))
        return 0;
    return QApplication::exec();
}
