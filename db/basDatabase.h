#pragma once

#include <QString>

class DataControl;

// Maintenance of the question database file: compact and repair.
namespace basDatabase {
void CompactDatabase(DataControl &datData, const QString &strPath);
void RepairDatabase(DataControl &datData, const QString &strPath);
void DeleteFileIfExists(const QString &strPath);
}
