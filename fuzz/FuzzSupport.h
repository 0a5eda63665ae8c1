#pragma once

#include "../tests/TestSupport.h"

#include <QList>
#include <QMap>
#include <QString>

#include <cstddef>
#include <cstdint>

// What the fuzz targets share: a private settings folder, message boxes recorded instead of
// shown, an independent reading of numeric text to check the program's against, and a loud
// stop when a rule does not hold (libFuzzer then keeps the input that broke it).
namespace FuzzSupport {

// The message recorder and the private settings folder of the tests.
using TestSupport::clearMessages;
using TestSupport::messages;
using TestSupport::Shown;
using TestSupport::workFolder;

// Points the settings store at a fresh temporary folder (memory-backed where there is one,
// removed at exit) and records every message box. Call once, from LLVMFuzzerInitialize,
// before anything touches the store.
void init();

// Drops the events queued since the last input. The settings store queues a request to write
// itself with every change; the game's event loop handles it, but a fuzz target has no event
// loop (it writes the store itself), and the queue would grow with every input.
void dropQueuedEvents();

// The text of an error report as basMain::ReportError words it.
QString errorReport(int number, const QString &description);

// Ends the run with the rule that failed and some detail; abort() makes libFuzzer save the input.
[[noreturn]] void fail(const char *rule, const QString &detail);

// Input as "Key=Value" lines (the format of a settings section): the value of each key, the
// last line winning. Lines without '=' are skipped; a value keeps everything after the first
// '=' except a final carriage return. Bytes that are not UTF-8 become U+FFFD.
QMap<QString, QString> keyValues(const uint8_t *data, size_t size);

// A second reading of numeric text, written apart from app/NumericText.cpp: a pattern for the
// form, std::from_chars for the value.
struct Number
{
    enum Kind { NotNumeric, Overflow, Value } kind = NotNumeric;
    double value = 0; // Value: the nearest double; an underflow reads as a zero
};
Number readNumber(const QString &text);
}

#define FUZZ_CHECK(cond, detail)                                                                                 \
    do {                                                                                                         \
        if (!(cond))                                                                                             \
            FuzzSupport::fail(#cond, (detail));                                                                  \
    } while (false)
