// The month grid as the pickers use it: a whole redraw per step or click.

#include "calendar/monthgrid.h"
#include "dates/date.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

using namespace remindo;

static void BM_ShowMonth(benchmark::State& state)
{
    MonthGrid grid;
    QImage image(169, 137, QImage::Format_RGB32);
    Date d = DateFromYmd(2026, 12, 8);
    for (auto _ : state) {
        GridNextMonth(image, d, grid);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_ShowMonth);

static void BM_GridClick(benchmark::State& state)
{
    MonthGrid grid;
    QImage image(169, 137, QImage::Format_RGB32);
    Date d = DateFromYmd(2027, 3, 1);
    ShowMonth(image, d, grid);
    int i = 0;
    for (auto _ : state) {
        // Alternate between two days so that every click picks and redraws.
        benchmark::DoNotOptimize(GridClick(image, 12 + 24 * (i++ % 2), 2 * 22 + 11, grid, d));
    }
}
BENCHMARK(BM_GridClick);

int main(int argc, char** argv)
{
    // Text drawing needs the font database of a GUI application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
