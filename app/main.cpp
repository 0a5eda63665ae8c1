// Quillory: a multiple-choice scripture quiz for one to four players.
#include "app/QtMessageBoxes.h"
#include "app/Startup.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

int main(int argc, char *argv[])
{
    // The game's own options are read before any window system is needed, so --help and
    // --version work without a display; Qt's own options (-platform ...) are left to Qt.
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("A multiple-choice scripture quiz for one to four players."));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this summary."));
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Show the version."));
    const QCommandLineOption showHelp(QStringLiteral("show-help"), QStringLiteral("Open the help contents with the game."));
    options.addOptions({help, version, showHelp});
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    options.parse(arguments);
    if (options.isSet(help) || options.isSet(version)) {
        const QString text = options.isSet(help) ? options.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("quillory"))
                                                 : QStringLiteral("Quillory " QUILLORY_VERSION "\n");
        std::fputs(qPrintable(text), stdout);
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillory"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLORY_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.quillory.Quillory"));
    QtMessageBoxes::install();
    if (!basMain::Main(QCoreApplication::applicationDirPath(), options.isSet(showHelp)))
        return 0;
    return QApplication::exec();
}
