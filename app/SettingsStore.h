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

// Writes pending changes to disk; error 75 naming the file when it cannot be written.
void Sync();

// Where the store keeps its values (for messages and tests).
QString FileName();
}
