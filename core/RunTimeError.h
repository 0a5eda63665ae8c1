#pragma once

#include <QString>

#include <exception>
#include <string>

// The run-time errors the program raises and reports. The small numbers are the classic
// Basic run-time errors; the 3100 range belongs to the question-database engine.
namespace Err {
enum Number : int {
    InvalidCall = 5,        // "Invalid procedure call or argument"
    Overflow = 6,           // "Overflow"
    SubscriptOutOfRange = 9, // "Subscript out of range"
    TypeMismatch = 13,      // "Type mismatch"
    FileAccess = 75,        // "Path/File access error"
    InvalidUseOfNull = 94,  // "Invalid use of Null"
    ResourceNotFound = 326, // a picture missing from the program's resources

    EngineGeneral = 3100,   // any other failure of the database engine
    NotADatabase = 3101,    // wrong password, or the file is no database at all
    Damaged = 3102,         // the file is a database but damaged
    CantOpen = 3103,        // the file cannot be opened (missing, a folder, no permission)
    TableNotFound = 3104,   // the record source names a table the file does not hold
    FieldNotFound = 3105,   // a field name the table does not have
    NoCurrentRecord = 3106, // a read, edit or move with no current row
    NotOpen = 3107,         // the data control has no open database or record set
    BadRecordSource = 3108, // the record source is neither a table nor "select * from <table> ..."
    Busy = 3109,            // the file is locked by another connection
    ReadOnly = 3110,        // the file or its folder cannot be written
    DiskFull = 3111,        // the disk is full
    IoError = 3112,         // a read or write of the file failed
    RecordDeleted = 3113,   // the current row was deleted under the cursor
    NoEdit = 3114,          // update or set field without a pending edit
    CopyCheckFailed = 3115, // a compacted or repaired copy failed its check; the database file was kept
    ReplaceFailed = 3116,   // the checked copy could not be renamed over the database file
    TemporaryExists = 3117, // the temporary file of a compaction or repair is already there
};
}

// A run-time error: a number and a description, as the error report shows them.
class RunTimeError : public std::exception
{
public:
    RunTimeError(int number, QString description);

    int number() const noexcept { return m_number; }
    const QString &description() const noexcept { return m_description; }
    const char *what() const noexcept override { return m_what.c_str(); }

    // The standard description of one of the classic numbers (5, 6, 13, 75, 94).
    static QString standardDescription(int number);
    static RunTimeError standard(int number) { return {number, standardDescription(number)}; }

private:
    int m_number;
    QString m_description;
    std::string m_what;
};
