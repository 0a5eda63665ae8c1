// Benchmarks of a bank of any size: importing 10,000 questions from a CSV file, and a new game
// over 100,000 questions (the shuffle, the question choice, the first question dealt), beside
// the row-by-row shuffle through the record set that new games used before.
#include "BenchSupport.h"
#include "bible/KjvText.h"
#include "db/DataControl.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "game/DeckFilter.h"
#include "game/QuestionDeck.h"
#include "game/Random.h"
#include "import/QuestionExport.h"
#include "import/QuestionImport.h"
#include "tools/QuestionDatabase.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {
using BenchSupport::Password;
using BenchSupport::openControl;

QList<QuestionRow> rows(int n, const QString &prefix)
{
    static const char *const references[] = {"Genesis 1:1", "Ruth 1:16", "Psalms 23:1", "Matthew 5:3", "John 3:16", "Acts 2:1"};
    QList<QuestionRow> list;
    for (int k = 1; k <= n; ++k) {
        const QString reference = QLatin1String(references[k % 6]);
        list << QuestionRow{QStringLiteral("%1 question number %2 about the passage?").arg(prefix).arg(k),
                            {QStringLiteral("Right %1").arg(k), QStringLiteral("Wrong a %1").arg(k),
                             QStringLiteral("Wrong b %1").arg(k), QStringLiteral("Wrong c %1").arg(k)},
                            k % 6 < 3 ? QStringLiteral("OT") : QStringLiteral("NT"), reference, k % 3 + 1, {}};
    }
    return list;
}

const KjvText &kjv()
{
    static const KjvText text = [] {
        QString error;
        auto loaded = KjvText::load(QStringLiteral(QUILLORY_SOURCE_DIR "/data/kjv.tsv.gz"), &error);
        if (!loaded)
            qFatal("%s", qPrintable(error));
        return *loaded;
    }();
    return text;
}

// Reading, checking and writing 10,000 questions of a CSV file into a database that holds the
// bank's 3,160, in one transaction (the King James text is loaded once, as the game keeps it).
void BM_Import10000(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("ten-thousand.csv"));
    QuestionExport::WriteFile(csv, rows(10000, QStringLiteral("Imported")));
    const QString bank = dir.filePath(QStringLiteral("bank.mdb"));
    QuestionDatabase::Write(bank, Password, rows(3160, QStringLiteral("Bank")));
    kjv();
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = dir.filePath(QStringLiteral("work.mdb"));
        QFile::remove(path);
        QFile::copy(bank, path);
        state.ResumeTiming();
        auto db = Database::open(path, Password);
        const QuestionImport::Preview preview = QuestionImport::CheckFile(csv, kjv(), QuestionImport::ExistingKeys(*db));
        if (QuestionImport::Import(*db, preview.rows, QStringLiteral("Ten thousand")) != 10000)
            state.SkipWithError("not every row was imported");
    }
}
BENCHMARK(BM_Import10000)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5)->ReportAggregatesOnly(true);

// Loading the King James text, which the first import of a session pays for.
void BM_LoadKjv(benchmark::State &state)
{
    for (auto _ : state) {
        QString error;
        benchmark::DoNotOptimize(KjvText::load(QStringLiteral(QUILLORY_SOURCE_DIR "/data/kjv.tsv.gz"), &error));
    }
}
BENCHMARK(BM_LoadKjv)->Unit(benchmark::kMillisecond)->Iterations(3);

// One database of 100,000 questions for the new-game benchmarks, written once.
QString bigDatabase()
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hundred-thousand.mdb"));
    if (!QFile::exists(path))
        QuestionDatabase::Write(path, Password, rows(100000, QStringLiteral("Bank")));
    return path;
}

// What a new game does with the deck: the shuffle into Sort, the deck reopened in Sort order,
// the question choice read (when there is one) and the first question of the testament dealt.
void newGame(benchmark::State &state, DataControl &dat, const QuestionChoice::Choice &choice)
{
    QuestionDeck::Shuffle(dat);
    std::unique_ptr<DeckFilter> filter;
    if (!choice.everything())
        filter = std::make_unique<DeckFilter>(DeckFilter::Build(dat.database(), choice));
    if (!QuestionDeck::DrawFirst(dat.recordset(), basGame::Testament::Old, filter.get()))
        state.SkipWithError("no question dealt");
    else
        benchmark::DoNotOptimize(dat.recordset().FieldText(QStringLiteral("Answer1")));
}

QuestionChoice::Choice choiceOf(int64_t arg)
{
    QuestionChoice::Choice choice;
    if (arg) { // the easy questions of three books
        choice.books = QStringList{QStringLiteral("Genesis"), QStringLiteral("Ruth"), QStringLiteral("John")};
        choice.difficulty = QuestionChoice::Difficulty::Easy;
    }
    return choice;
}

// New games over 100,000 questions, one after the other on the open database, as a session of
// the game plays them; arg 1: with a question choice.
void BM_NewGame100000(benchmark::State &state)
{
    DataControl dat;
    openControl(dat, bigDatabase());
    QuestionDeck::Shuffle(dat); // the first game, which reads the file into the cache
    const QuestionChoice::Choice choice = choiceOf(state.range(0));
    for (auto _ : state)
        newGame(state, dat, choice);
}
BENCHMARK(BM_NewGame100000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7)->ReportAggregatesOnly(true);

// The first new game after the database was opened, which reads every page from the file.
void BM_FirstGame100000(benchmark::State &state)
{
    const QuestionChoice::Choice choice = choiceOf(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto dat = std::make_unique<DataControl>();
        openControl(*dat, bigDatabase());
        state.ResumeTiming();
        newGame(state, *dat, choice);
    }
}
BENCHMARK(BM_FirstGame100000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7)->ReportAggregatesOnly(true);

// For comparison, the shuffle new games used before: the permutation written into Sort row by
// row through a clone of the record set, in the deck's order, then the deck reopened.
void BM_NewGame100000RowByRow(benchmark::State &state)
{
    DataControl dat;
    openControl(dat, bigDatabase());
    for (auto _ : state) {
        std::unique_ptr<Recordset> clone = dat.recordset().Clone();
        std::vector<qint32> order(std::size_t(clone->RecordCount()));
        Random::ShuffleArray<qint32>(order, 1);
        {
            Transaction transaction(clone->database());
            clone->MoveFirst();
            for (const qint32 sortValue : order) {
                clone->Edit();
                clone->SetField(QStringLiteral("Sort"), sortValue);
                clone->Update();
                clone->MoveNext();
            }
            transaction.commit();
        }
        clone->Close();
        dat.RecordSource = QuestionDeck::ShuffledRecordSource();
        dat.Refresh();
        if (!QuestionDeck::DrawFirst(dat.recordset(), basGame::Testament::Old))
            state.SkipWithError("no question dealt");
    }
}
BENCHMARK(BM_NewGame100000RowByRow)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7)->ReportAggregatesOnly(true);
}

BENCHMARK_MAIN();
