// Benchmarks of the main window, offscreen and in-process: start-up to the first question
// shown, beside a bare Qt window measured the same way, and an answer click to the result.
#include "BenchSupport.h"
#include "db/DataControl.h"
#include "db/Database.h"
#include "core/MessageBox.h"
#include "core/basMain.h"
#include "app/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {
QTemporaryDir *folder;

// A copy of the game's own database, so the measurement sees the real question count.
QString gameDatabase()
{
    const QString copy = folder->filePath(QStringLiteral("Quillory.mdb"));
    if (!QFile::exists(copy))
        QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/Quillory.mdb"), copy);
    return copy;
}

void BM_BareWindowShown(benchmark::State &state)
{
    for (auto _ : state) {
        QMainWindow window;
        auto *label = new QLabel(QStringLiteral("Question"), &window);
        window.setCentralWidget(label);
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(label->text());
    }
}
BENCHMARK(BM_BareWindowShown)->Unit(benchmark::kMillisecond);

void BM_KeyDerivation(benchmark::State &state)
{
    const QString path = gameDatabase();
    for (auto _ : state)
        benchmark::DoNotOptimize(Database::open(path, BenchSupport::Password));
}
BENCHMARK(BM_KeyDerivation)->Unit(benchmark::kMillisecond);

// Load order as at start-up: settings, colours, the database opened, a shuffled deck, the
// first question on the label, the window shown.
void BM_StartUpToFirstQuestion(benchmark::State &state)
{
    basMain::DatabasePath = gameDatabase();
    for (auto _ : state) {
        frmMain window;
        window.Form_Load();
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.findChild<QLabel *>(QStringLiteral("lblQuestion"))->text());
    }
}
BENCHMARK(BM_StartUpToFirstQuestion)->Unit(benchmark::kMillisecond);

// The parts of start-up: building the window alone, and the game's first shuffle of the deck.
void BM_WindowConstruction(benchmark::State &state)
{
    for (auto _ : state) {
        frmMain window;
        window.show();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_WindowConstruction)->Unit(benchmark::kMillisecond);

void BM_FirstShuffle(benchmark::State &state)
{
    basMain::DatabasePath = gameDatabase();
    frmMain window;
    window.Form_Load();
    for (auto _ : state)
        window.StartNewGame();
}
BENCHMARK(BM_FirstShuffle)->Unit(benchmark::kMillisecond);

void BM_AnswerClickToResult(benchmark::State &state)
{
    basMain::DatabasePath = gameDatabase();
    frmMain window;
    window.Form_Load();
    window.show();
    QApplication::processEvents();
    auto *next = window.findChild<QPushButton *>(QStringLiteral("cmdNewQuestion"));
    auto *button = window.findChild<QPushButton *>(QStringLiteral("cmdAnswer1"));
    int dealt = 0;
    for (auto _ : state) {
        button->click();
        QApplication::processEvents();
        state.PauseTiming();
        // The next question; a fresh game long before the deck could run out (the end of a
        // game would open the high-scores window).
        if (++dealt % 500 == 0)
            window.StartNewGame();
        else
            next->click();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AnswerClickToResult)->Unit(benchmark::kMicrosecond);

// An answer key pressed to the result drawn, with the window at 300%: the key reaches the
// session through the window's shortcuts, the result panel, hand, face and status are painted.
void BM_AnswerKeyAt300Percent(benchmark::State &state)
{
    basMain::DatabasePath = gameDatabase();
    frmMain window;
    window.Form_Load();
    window.SetZoom(300);
    window.show();
    if (!QTest::qWaitForWindowActive(&window))
        state.SkipWithError("the window did not become active");
    QApplication::processEvents();
    auto *next = window.findChild<QPushButton *>(QStringLiteral("cmdNewQuestion"));
    int dealt = 0;
    for (auto _ : state) {
        QTest::keyClick(&window, Qt::Key_1);
        window.repaint();
        state.PauseTiming();
        if (++dealt % 500 == 0)
            window.StartNewGame();
        else
            next->click();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    window.SetZoom(100);
}
BENCHMARK(BM_AnswerKeyAt300Percent)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

// "--cold bare" or "--cold game": the first window of a fresh process, timed once, as a player
// meets it (fonts, styles and plugins loaded on first use are part of it).
int coldStart(const QString &which)
{
    QElapsedTimer timer;
    timer.start();
    if (which == u"bare") {
        QMainWindow window;
        window.setCentralWidget(new QLabel(QStringLiteral("Question"), &window));
        window.show();
        QApplication::processEvents();
    } else {
        basMain::DatabasePath = gameDatabase();
        timer.restart(); // copying the database is not part of the start-up
        frmMain window;
        window.Form_Load();
        window.show();
        QApplication::processEvents();
    }
    std::printf("cold start (%s): %.1f ms\n", qPrintable(which), double(timer.nsecsElapsed()) / 1e6);
    return 0;
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    QApplication app(argc, argv);
    QTemporaryDir dir;
    folder = &dir;
    int answered = 0;
    MsgBox::setHandler([&](const QString &, int, const QString &) { ++answered; return int(MsgBox::Ok); });
    if (argc == 3 && QByteArray(argv[1]) == "--cold")
        return coldStart(QString::fromLocal8Bit(argv[2]));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
