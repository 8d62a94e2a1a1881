// The passes and the calendar week over large lists, with the log off.

#include "calendar/calendarexam.h"
#include "dates/clock.h"
#include "dates/datetools.h"
#include "engine/engine.h"
#include "store/fixedformats.h"
#include "store/log.h"
#include "store/reminders.h"
#include "store/settings.h"

#include <benchmark/benchmark.h>

#include <random>

using namespace remindo;

namespace {

const Date kToday = DateFromYmd(2026, 12, 8);

// Every kind, with dates around today and all the window widths the editor offers.
Komunikaty MixedList(int n)
{
    static const int32_t kinds[] = {0, -1, -2, -3, -4, 2, 7, 30, 365, -11, -23, -35, -47, -52, -64, -67, -56};
    std::mt19937 rng(7);
    Komunikaty list;
    list.items.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        Komunikat k;
        k.Tresc = "Przypomnienie " + std::to_string(i) + "+";
        k.CoIle = kinds[size_t(i) % std::size(kinds)];
        if (k.CoIle == 2)
            k.CoIle = 2 + int32_t(rng() % 364);
        k.Data = IncDay(kToday, int(rng() % 800) - 500);
        k.IlePrzed = int32_t(rng() % 8);
        k.CzyPo = int32_t(rng() % 2);
        k.Ile = 1 + int32_t(rng() % 8);
        k.BlokDzisData = kToday;
        list.items.push_back(std::move(k));
    }
    return list;
}

struct Fixture {
    EngineState state;
    Komunikaty list;
    Settings settings;
    FixedFormats formats;
    DiagnosticLog log{state.DataAkt, state.PassTime, formats};
    ManualClock clock{MakeDateTime(kToday, 12, 0)};
    NoScreenSaver saver;
    struct : ReminderPresenter {
        int shown = 0;
        void ShowReminderWindow(int32_t, const std::string&) override { ++shown; }
        void StartAutoHideTimer() override {}
    } presenter;
    Engine engine{state, list, settings, log, formats, clock, saver, presenter};

    explicit Fixture(int n) : list(MixedList(n)) { engine.Start(); }
};

void PerReminder(benchmark::State& st, int n)
{
    // Time per reminder, printed in seconds with an SI prefix (n = nanoseconds).
    st.counters["per_reminder"] =
        benchmark::Counter(double(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_PreparationPass(benchmark::State& st)
{
    const int n = int(st.range(0));
    Fixture f(n);
    for (auto _ : st) {
        f.engine.PreparationPass();
        benchmark::DoNotOptimize(f.list.items.data());
    }
    PerReminder(st, n);
}

void BM_ExaminationPass(benchmark::State& st)
{
    const int n = int(st.range(0));
    Fixture f(n);
    f.engine.PreparationPass();
    f.state.LastPreparationDate = kToday;
    // Every reminder marked, none allowed to show: the pass walks the whole list.
    for (Komunikat& k : f.list.items) {
        k.WarnToday = true;
        k.Blok = 0;
        k.BlokDzis = 0;
        k.ShownToday = k.Ile;
    }
    for (auto _ : st)
        f.engine.ExaminationPass();
    if (f.presenter.shown != 0)
        st.SkipWithError("a reminder was shown");
    PerReminder(st, n);
}

void BM_CalendarWeek(benchmark::State& st)
{
    const int n = int(st.range(0));
    Fixture f(n);
    CalendarExamination exam(f.list, f.settings, f.log, f.formats);
    for (auto _ : st) {
        exam.ExamineWeek(kToday);
        benchmark::DoNotOptimize(exam.Tydzien[0].Zdarzenia.data());
    }
}

} // namespace

BENCHMARK(BM_PreparationPass)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExaminationPass)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalendarWeek)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
