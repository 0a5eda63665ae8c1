// Any file as the question database: opened with the game's connect string, shuffled and
// dealt to the end, every field of every row read, as a game does. Every failure must be a
// RunTimeError; anything else (another exception, a crash, a sanitizer report) is a finding.
//
// The input is the file itself. An encrypted file can hardly be changed without breaking its
// page checksums, so an input that is a plain SQLite file ("SQLite format 3" header) is first
// encrypted with the game's password; that way the fuzzer reaches the tables, rows and values
// behind the encryption: missing tables and fields, Nulls, odd types, triggers, broken pages.
//
// Every file is keyed with one round of key derivation instead of the engine's usual 64,000,
// which would take nearly all of an input's time; the keyed seeds were made that way. The
// game's code opens and reads each file as it opens the real one: only the derived key differs.
#include "FuzzSupport.h"

#include "db/DataControl.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "core/RunTimeError.h"
#include "db/SqlCipher.h"
#include "core/basMain.h"
#include "db/QuestionSchema.h"
#include "game/QuestionDeck.h"

#include <QFile>

#include <cstdio>

namespace {
QString databasePath() { return FuzzSupport::workFolder() + QStringLiteral("/Quillory.mdb"); }
QString plainPath() { return FuzzSupport::workFolder() + QStringLiteral("/plain.db"); }

void removeFiles()
{
    for (const QString &path : {databasePath(), plainPath()})
        for (const char *suffix : {"", "-journal", "-wal", "-shm"})
            QFile::remove(path + QLatin1String(suffix));
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

bool run(sqlite3 *db, const char *sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Sets the rounds of key derivation for every connection keyed from now on.
void setKeyRounds(int rounds)
{
    sqlite3 *db = nullptr;
    const QByteArray pragma = "PRAGMA cipher_default_kdf_iter = " + QByteArray::number(rounds);
    if (sqlite3_open(":memory:", &db) != SQLITE_OK || !run(db, pragma.constData())) {
        std::fprintf(stderr, "cannot set the key derivation rounds\n");
        std::abort();
    }
    sqlite3_close_v2(db);
}

// A plain SQLite file copied into a new file keyed with the game's password; false when the
// engine cannot read it as a database.
bool encrypt(const QString &plain, const QString &keyed)
{
    sqlite3 *db = nullptr;
    // An attached file is opened with the main connection's flags: CREATE lets it make the copy.
    bool ok = sqlite3_open_v2(plain.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK;
    if (ok) {
        sqlite3_stmt *attach = nullptr;
        const QByteArray path = keyed.toUtf8();
        const QByteArray password = TestSupport::Password.toUtf8();
        ok = sqlite3_prepare_v2(db, "ATTACH DATABASE ?1 AS keyed KEY ?2", -1, &attach, nullptr) == SQLITE_OK
             && sqlite3_bind_text(attach, 1, path.constData(), int(path.size()), SQLITE_TRANSIENT) == SQLITE_OK
             && sqlite3_bind_text(attach, 2, password.constData(), int(password.size()), SQLITE_TRANSIENT) == SQLITE_OK
             && sqlite3_step(attach) == SQLITE_DONE;
        sqlite3_finalize(attach);
        ok = ok && run(db, "SELECT sqlcipher_export('keyed')") && run(db, "DETACH DATABASE keyed");
    }
    if (!ok && qEnvironmentVariableIsSet("FUZZ_VERBOSE"))
        std::fprintf(stderr, "not encrypted: %s\n", db ? sqlite3_errmsg(db) : "no connection");
    sqlite3_close_v2(db);
    return ok;
}

// Whether the Sort values can be checked after a shuffle: an integer Sort column of a plain
// table with no triggers to change what the shuffle writes.
bool sortIsPlain(sqlite3 *db)
{
    sqlite3_stmt *q = nullptr;
    bool plain = sqlite3_prepare_v2(db,
                                    "SELECT (SELECT count(*) FROM sqlite_master WHERE type = 'trigger') = 0"
                                    " AND (SELECT type FROM sqlite_master WHERE name = 'tblQuillory' COLLATE NOCASE) = 'table'",
                                    -1, &q, nullptr)
                     == SQLITE_OK
                 && sqlite3_step(q) == SQLITE_ROW && sqlite3_column_int(q, 0) == 1;
    sqlite3_finalize(q);
    if (!plain)
        return false;
    int integerSort = 0;
    if (sqlite3_prepare_v2(db, "PRAGMA table_info('tblQuillory')", -1, &q, nullptr) == SQLITE_OK) {
        while (sqlite3_step(q) == SQLITE_ROW) {
            const QString name = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(q, 1)));
            const QString type = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(q, 2)));
            if (name.compare(QLatin1String("Sort"), Qt::CaseInsensitive) == 0 && type.contains(QLatin1String("INT"), Qt::CaseInsensitive))
                ++integerSort;
        }
    }
    sqlite3_finalize(q);
    return integerSort == 1;
}

// Reads what the game reads of the current row; a field that cannot be read is a run-time
// error, which the game reports, and the next field is read all the same.
void readRow(const Recordset &rs)
{
    for (const char *field : {"Question", "Answer1", "Answer2", "Answer3", "Answer4", "Reference", "Testament"}) {
        try {
            if (QByteArrayView(field) == "Question" || QByteArrayView(field) == "Testament")
                rs.Field(QLatin1String(field)).toString();
            else
                rs.FieldText(QLatin1String(field));
        } catch (const RunTimeError &) {
        }
    }
}

void play(DataControl &dat, basGame::Testament testament)
{
    dat.Refresh();
    const int rows = dat.recordset().RecordCount();
    // A shuffle that fails is reported and the game deals from the deck as it stands.
    bool shuffled = false;
    try {
        QuestionDeck::Shuffle(dat);
        shuffled = true;
    } catch (const RunTimeError &e) {
        if (qEnvironmentVariableIsSet("FUZZ_VERBOSE"))
            std::fprintf(stderr, "shuffle: error %d: %s\n", e.number(), qPrintable(e.description()));
    }
    Recordset &deck = dat.recordset();
    FUZZ_CHECK(deck.RecordCount() == rows, QStringLiteral("%1 rows before the shuffle, %2 after").arg(rows).arg(deck.RecordCount()));
    const bool checkSort = shuffled && sortIsPlain(dat.database().handle());
    // The first question is the first row whatever its testament; then only matching rows.
    int dealt = 0;
    if (deck.hasCurrent()) {
        readRow(deck);
        do {
            ++dealt;
            FUZZ_CHECK(dealt <= rows, QStringLiteral("dealt more than %1 rows").arg(rows));
            if (checkSort && testament == basGame::Testament::Both) {
                // In Sort order after a shuffle, row k holds Sort value k.
                const QVariant sort = deck.Field(QStringLiteral("Sort"));
                FUZZ_CHECK(sort.toLongLong() == deck.AbsolutePosition() + 1,
                           QStringLiteral("row %1 has Sort %2").arg(deck.AbsolutePosition() + 1).arg(sort.toString()));
            }
            readRow(deck);
        } while (QuestionDeck::DrawNext(deck, testament));
    }
    if (testament == basGame::Testament::Both)
        FUZZ_CHECK(dealt == rows, QStringLiteral("dealt %1 of %2 rows").arg(dealt).arg(rows));
}
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::init();
    setKeyRounds(1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    removeFiles();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    static const QByteArray plainHeader("SQLite format 3", 16); // with its closing zero byte
    if (!(bytes.startsWith(plainHeader) && writeFile(plainPath(), bytes) && encrypt(plainPath(), databasePath())))
        writeFile(databasePath(), bytes);

    // FUZZ_VERBOSE=1 says how each input ended (to look at one input: fuzz_database FILE).
    static const bool verbose = qEnvironmentVariableIsSet("FUZZ_VERBOSE");
    static const basGame::Testament testaments[] = {basGame::Testament::Both, basGame::Testament::Old, basGame::Testament::New};
    {
        DataControl dat;
        dat.DatabaseName = databasePath();
        dat.Connect = QString::fromLatin1(basMain::ConnectString);
        dat.RecordSource = QuestionSchema::TableName();
        try {
            play(dat, testaments[size % 3]);
            if (verbose)
                std::fprintf(stderr, "dealt to the end\n");
        } catch (const RunTimeError &e) {
            // what the game reports, and goes on
            if (verbose)
                std::fprintf(stderr, "error %d: %s\n", e.number(), qPrintable(e.description()));
        }
    }
    removeFiles();
    return 0;
}
