#pragma once

#include <QList>
#include <QMap>
#include <QString>

#include <cstddef>
#include <cstdint>

// What the fuzz targets share: a private settings folder, message boxes recorded instead of
// shown, an independent reading of numeric text to check the program's against, and a loud
// stop when a rule does not hold (libFuzzer then keeps the input that broke it).
namespace FuzzSupport {

struct Shown
{
    QString text;
    int style;
    QString title;
};

// Points the settings store at a fresh temporary folder (removed at exit) and installs a
// message-box handler that records every box and answers OK. Call once, from
// LLVMFuzzerInitialize, before anything touches the store.
void init();

// The temporary folder made by init(), for files a target writes.
QString workFolder();

// Drops the events queued since the last input. The settings store queues a request to write
// itself with every change; the game's event loop handles it, but a fuzz target has no event
// loop (it writes the store itself), and the queue would grow with every input.
void dropQueuedEvents();

// The boxes shown since the last clearMessages(), oldest first.
QList<Shown> &messages();
void clearMessages();

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
