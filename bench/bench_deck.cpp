// Benchmarks of the question deck: shuffling 1000 rows, opening the keyed file, dealing a deck.
#include "BenchSupport.h"
#include "bible/Scripture.h"
#include "core/DataFiles.h"
#include "db/DataControl.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "game/QuestionDeck.h"
#include "tools/QuestionDatabase.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {
using BenchSupport::Password;
using BenchSupport::openControl;

QString sampleDatabase(const QTemporaryDir &dir, int rows)
{
    QList<QuestionRow> list;
    for (int k = 1; k <= rows; ++k)
        list << QuestionRow{QStringLiteral("Question %1").arg(k),
                            {QStringLiteral("Right"), QStringLiteral("Wrong a"), QStringLiteral("Wrong b"), QStringLiteral("Wrong c")},
                            k % 3 ? QStringLiteral("OT") : QStringLiteral("NT"), QStringLiteral("Genesis 1:1"), {}};
    const QString path = dir.filePath(QStringLiteral("bench.mdb"));
    QuestionDatabase::Write(path, Password, list);
    return path;
}

// The game's shuffle: 1000 Sort writes in one transaction, then the deck reopened in order.
void BM_Shuffle1000(benchmark::State &state)
{
    QTemporaryDir dir;
    DataControl dat;
    openControl(dat, sampleDatabase(dir, 1000));
    for (auto _ : state)
        QuestionDeck::Shuffle(dat);
}
BENCHMARK(BM_Shuffle1000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// For comparison: the same 1000 writes, each in its own autocommit transaction.
void BM_Shuffle1000Autocommit(benchmark::State &state)
{
    QTemporaryDir dir;
    DataControl dat;
    openControl(dat, sampleDatabase(dir, 1000));
    for (auto _ : state) {
        auto clone = dat.recordset().Clone();
        int sort = 1000;
        for (clone->MoveFirst(); !clone->EOF_(); clone->MoveNext()) {
            clone->Edit();
            clone->SetField(QStringLiteral("Sort"), sort--);
            clone->Update();
        }
    }
}
BENCHMARK(BM_Shuffle1000Autocommit)->Unit(benchmark::kMillisecond)->Iterations(3);

// Opening the keyed file (key derivation) and the record set.
void BM_OpenDatabase(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = sampleDatabase(dir, 1000);
    for (auto _ : state) {
        DataControl dat;
        openControl(dat, path);
        benchmark::DoNotOptimize(dat.recordset().RecordCount());
    }
}
BENCHMARK(BM_OpenDatabase)->Unit(benchmark::kMillisecond);

// Dealing a whole deck of 1000 rows with the Old Testament filter, reading each question's
// answers as the game does.
void BM_DealDeckOT(benchmark::State &state)
{
    QTemporaryDir dir;
    DataControl dat;
    openControl(dat, sampleDatabase(dir, 1000));
    for (auto _ : state) {
        dat.Refresh();
        Recordset &rs = dat.recordset();
        int dealt = 0;
        do {
            for (const char *f : {"Answer1", "Answer2", "Answer3", "Answer4"})
                benchmark::DoNotOptimize(rs.FieldText(QLatin1String(f)));
            ++dealt;
        } while (QuestionDeck::DrawNext(rs, basGame::Testament::Old));
        benchmark::DoNotOptimize(dealt);
    }
}
BENCHMARK(BM_DealDeckOT)->Unit(benchmark::kMillisecond);
}

// The passage of a question after its answer: a verse, a range and a whole chapter, the text
// read beforehand (it is read in the background from start-up on).
void BM_PassageLookup(benchmark::State &state)
{
    DataFiles::SetProgramFolder(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath());
    Scripture::Preload();
    if (!Scripture::Text()) {
        state.SkipWithError("no King James text beside the program");
        return;
    }
    static const QString references[] = {QStringLiteral("1 Samuel 17:49"), QStringLiteral("Genesis 6:13-14"),
                                         QStringLiteral("Acts 27:1-12"), QStringLiteral("Psalm 23")};
    int k = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(Scripture::Find(references[k++ % 4]));
}
BENCHMARK(BM_PassageLookup)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
