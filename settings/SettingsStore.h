#pragma once

#include <QString>

// The per-user settings store of application "Quillory": sections of string values
// (~/.config/Quillory/Quillory.conf on Linux).
namespace SettingsStore {

inline constexpr auto AppName = "Quillory";

// The stored text, or defaultText when the key is absent or holds no text.
QString GetSetting(const QString &section, const QString &key, const QString &defaultText);

void SaveSetting(const QString &section, const QString &key, const QString &text);

// Deletes a whole section; error 5 when the section does not exist.
void DeleteSetting(const QString &section);

// Writes pending changes to disk; error 75 naming the file when it cannot be written. Only
// the first failure of a run is raised: the values stay in memory and the game plays on, so
// later failures return quietly instead of repeating the same report after every game.
// A file with lines the store could not read is no failure: it was read as far as it goes
// and is written back whole. A lock file that a killed writer left empty is cleared once it
// has stayed empty for a second, instead of stalling the write for half a minute.
void Sync();

// Where the store keeps its values (for messages and tests).
QString FileName();
}
