#pragma once

#include <QString>

// Which question database the game plays from, in this order:
//  1. a Quillory.mdb beside the program (the build folder, a portable copy);
//  2. the player's own copy in the per-user data folder;
//  3. on first start, that copy made from the installed pristine database, which is checked
//     first (it must open with the game's password) and is never written.
// The game's compact and repair work on the file chosen; the pristine one stays as installed.
namespace DatabaseLocation {

struct Choice
{
    QString path;      // the database to play from; empty when there is none
    QString lookedFor; // the last path looked for (for the "Couldn't find file" message)
    bool created = false; // the per-user copy was made just now
};

// The choice for a program in programFolder, with its installed data in installedFolder and the
// player's data in userFolder. Raises the engine's run-time error when the pristine database
// cannot be opened or the copy cannot be made; nothing is left behind then.
Choice Choose(const QString &programFolder, const QString &installedFolder, const QString &userFolder,
              const QString &password);

// The per-user data folder of this account (QStandardPaths::AppDataLocation).
QString UserFolder();
}
