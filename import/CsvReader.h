#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

// Reads a table of text as spreadsheets save it (CSV or TSV): UTF-8 with or without a byte-order
// mark; comma, semicolon or tab between the cells, told from the first line; a cell in double
// quotes may hold separators, line breaks and doubled quotes. Anything it cannot read is one
// message in plain words with its line, never a crash; the limits below keep a large or broken
// file from taking time or memory out of proportion.
class CsvReader
{
public:
    static constexpr qint64 MaxFileBytes = 32LL * 1024 * 1024;
    static constexpr int MaxCellLength = 10000;
    static constexpr int MaxCells = 64;
    static constexpr qsizetype MaxRecords = 200000;

    struct Record
    {
        qsizetype line = 0; // the line the record starts on, counting from 1
        QStringList cells;
    };

    struct Table
    {
        QString error;   // why the file cannot be read; empty when it was read
        QChar separator; // ',', ';' or '\t'
        QList<Record> records; // the first is the header; records with no text in any cell are left out
    };

    // known: header names (in any letter case, blanks ignored) that tell the separator when
    // more than one would split the first line.
    static Table Read(const QByteArray &bytes, const QStringList &known = {});
    // Reads a file of at most MaxFileBytes.
    static Table ReadFile(const QString &path, const QStringList &known = {});

    // A header name as it is compared: without blanks, in one letter case.
    static QString Folded(const QString &name);
};
