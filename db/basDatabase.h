#pragma once

#include <QString>

class DataControl;
class Progress;

// Maintenance of the question database file: compact and repair. A progress reporter, when
// given, hears each step and is called on while a long step runs.
namespace basDatabase {
void CompactDatabase(DataControl &datData, const QString &strPath, Progress *progress = nullptr);
void RepairDatabase(DataControl &datData, const QString &strPath, Progress *progress = nullptr);
void DeleteFileIfExists(const QString &strPath);
}
