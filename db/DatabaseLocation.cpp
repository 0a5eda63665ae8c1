#include "db/DatabaseLocation.h"

#include "core/RunTimeError.h"
#include "db/Database.h"
#include "db/DatabaseFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace DatabaseLocation {
namespace {
constexpr auto FileName = "Quillory.mdb";

// Copies from to to: written beside its place, flushed, renamed, so a copy cut short by a crash
// never stands as the player's database.
void copyInPlace(const QString &from, const QString &to)
{
    const QString partial = to + QStringLiteral(".partial");
    QFile::remove(partial);
    if (!QDir().mkpath(QFileInfo(to).absolutePath()) || !QFile::copy(from, partial)) {
        QFile::remove(partial);
        throw RunTimeError(Err::FileAccess, QStringLiteral("Couldn't copy the question database to '%1'.").arg(to));
    }
    // A copy of a read-only installed file is the player's own, to write at every new game.
    QFile::setPermissions(partial, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    try {
        DatabaseFile::flushFile(partial);
        DatabaseFile::replaceFile(partial, to);
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
}
}

Choice Choose(const QString &programFolder, const QString &installedFolder, const QString &userFolder,
              const QString &password)
{
    Choice choice;
    for (const QString &folder : {programFolder, userFolder}) {
        choice.lookedFor = folder + u'/' + QLatin1String(FileName);
        if (QFileInfo(choice.lookedFor).isFile()) {
            choice.path = choice.lookedFor;
            return choice;
        }
    }
    const QString pristine = installedFolder + u'/' + QLatin1String(FileName);
    choice.lookedFor = pristine;
    if (!QFileInfo(pristine).isFile())
        return choice;
    // A damaged pristine copy is reported now, rather than copied to fail at every start.
    Database::open(pristine, password, Database::Mode::ReadOnly)->close();
    const QString own = userFolder + u'/' + QLatin1String(FileName);
    copyInPlace(pristine, own);
    choice.path = own;
    choice.created = true;
    return choice;
}

QString UserFolder() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }
}
