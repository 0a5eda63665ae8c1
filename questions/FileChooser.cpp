#include "questions/FileChooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace FileChooser {
namespace {
Handler &handler()
{
    static Handler current;
    return current;
}

const QString Filter = QStringLiteral("Spreadsheet text (*.csv *.tsv *.txt);;All files (*)");
}

QString StartFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString open(QWidget *owner)
{
    if (handler())
        return handler()(owner, Mode::Open, {});
    return QFileDialog::getOpenFileName(owner, QStringLiteral("Import Questions"), StartFolder(), Filter);
}

QString save(QWidget *owner, const QString &suggested)
{
    if (handler())
        return handler()(owner, Mode::Save, suggested);
    return QFileDialog::getSaveFileName(owner, QStringLiteral("Export Questions"), suggested,
                                        QStringLiteral("CSV (*.csv);;All files (*)"));
}

Handler setHandler(Handler next) { return std::exchange(handler(), std::move(next)); }
}
