// The store's files over large lists: loading and saving 10 000 reminders,
// and a day of examination passes with the diagnostic log on.

#include "dates/clock.h"
#include "dates/datetools.h"
#include "engine/engine.h"
#include "mixedlist.h"
#include "platform/core/qtregionalformats.h"
#include "store/atomicfile.h"
#include "store/datafile.h"
#include "store/fixedformats.h"
#include "store/log.h"
#include "store/messages.h"
#include "store/reminders.h"
#include "store/scramble.h"
#include "store/settings.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fstream>

using namespace remindo;

namespace {

const Date kToday = DateFromYmd(2026, 12, 8);

// Every kind, with texts of one and two lines.
Komunikaty MixedList(int n) { return remindo::MixedList(n, 1, true); }

// Memory-backed when the machine has it, so that the disk is not what is measured.
QString ScratchRoot() { return QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm") : QDir::tempPath(); }

// Replaces a file without the final disk sync: the saves below measure the
// store, not the disk.
class UnsyncedWriter final : public FileWriter {
public:
    bool Open(const std::string& path) override
    {
        path_ = path;
        out_.open(path + ".new", std::ios::binary | std::ios::trunc);
        return bool(out_);
    }
    bool Write(std::string_view bytes) override { return bool(out_.write(bytes.data(), std::streamsize(bytes.size()))); }
    bool Commit() override
    {
        out_.close();
        return out_ && std::rename((path_ + ".new").c_str(), path_.c_str()) == 0;
    }
    void Discard() override {}

private:
    std::string path_;
    std::ofstream out_;
};

class UnsyncedWriters final : public FileWriterFactory {
public:
    std::unique_ptr<FileWriter> NewWriter() override { return std::make_unique<UnsyncedWriter>(); }
};

struct StoreFixture {
    QTemporaryDir dir{ScratchRoot() + "/remindo-bench-XXXXXX"};
    ScriptedMessages messages;
    Scrambler scrambler{3};
    UnsyncedWriters writers;
    std::unique_ptr<RegionalFormats> formats;
    std::unique_ptr<DataFile> file;

    explicit StoreFixture(std::unique_ptr<RegionalFormats> f) : formats(std::move(f))
    {
        file = std::make_unique<DataFile>(QFile::encodeName(dir.filePath("Dane.dat")).toStdString(), messages,
                                          *formats, scrambler);
        file->SetWriters(&writers);
    }
};

std::unique_ptr<RegionalFormats> FormatsFor(int which)
{
    if (which == 0)
        return std::make_unique<FixedFormats>();
    return std::make_unique<QtRegionalFormats>(QLocale(which == 1 ? "pl_PL" : "en_US"));
}

const char* FormatsName(int which) { return which == 0 ? "fixed" : which == 1 ? "pl_PL" : "en_US"; }

// range(0): 0 the fixed Polish formats, 1 the system's formats on pl_PL, 2 on en_US.
void BM_LoadDataFile(benchmark::State& st)
{
    StoreFixture f(FormatsFor(int(st.range(0))));
    const Komunikaty list = MixedList(10000);
    if (!f.file->SaveDataFile(list)) {
        st.SkipWithError("the file could not be written");
        return;
    }
    Komunikaty loaded;
    for (auto _ : st) {
        if (f.file->LoadDataFile(loaded) != kLoaded) {
            st.SkipWithError("the file did not load");
            break;
        }
        benchmark::DoNotOptimize(loaded.items.data());
    }
    if (!f.messages.shown.empty())
        st.SkipWithError("a message was shown");
    st.SetLabel(FormatsName(int(st.range(0))));
}

void BM_SaveDataFile(benchmark::State& st)
{
    StoreFixture f(FormatsFor(int(st.range(0))));
    const Komunikaty list = MixedList(10000);
    for (auto _ : st) {
        if (!f.file->SaveDataFile(list)) {
            st.SkipWithError("the file could not be written");
            break;
        }
    }
    st.SetLabel(FormatsName(int(st.range(0))));
}

// Bytes this process has handed to write() so far.
int64_t BytesWritten()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    int64_t value = 0;
    while (io >> key >> value)
        if (key == "wchar:")
            return value;
    return 0;
}

// One day of 5-minute examination passes over 100 reminders, LogMode 1 and
// LogDetail 1, each pass flushing as the program does.
void BM_LogDay(benchmark::State& st)
{
    for (auto _ : st) {
        QTemporaryDir dir(ScratchRoot() + "/remindo-bench-XXXXXX");
        EngineState state;
        Komunikaty list = MixedList(100);
        Settings settings;
        settings.LogMode = 1;
        settings.LogDetail = 1;
        FixedFormats formats;
        DiagnosticLog log(state.DataAkt, state.PassTime, formats);
        log.SetMode(1);
        log.SetFolder(QFile::encodeName(dir.path()).toStdString());
        ManualClock clock(MakeDateTime(kToday, 0, 0));
        NoScreenSaver saver;
        struct : ReminderPresenter {
            void ShowReminderWindow(int32_t, const std::string&) override {}
            void StartAutoHideTimer() override {}
        } presenter;
        Engine engine(state, list, settings, log, formats, clock, saver, presenter);
        engine.Start();
        engine.PreparationPass();

        const int64_t before = BytesWritten();
        double lastPass = 0;
        for (int minute = 5; minute < 1440; minute += 5) {
            clock.Set(MakeDateTime(kToday, minute / 60, minute % 60));
            const auto t0 = std::chrono::steady_clock::now();
            engine.ExaminationPass();
            lastPass = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        }
        st.counters["bytes_written"] = double(BytesWritten() - before);
        st.counters["last_pass_ms"] = lastPass;
    }
}

} // namespace

BENCHMARK(BM_LoadDataFile)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveDataFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LogDay)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
