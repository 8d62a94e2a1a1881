// The second process of the app tests.
//   app_child put <file> <text>   another program's version of the data file:
//                                 one reminder with this text, written beside
//                                 the file and renamed over it, as sync tools do
//   app_child run <folder> <step> one run of the program on the application-data
//                                 folder <folder> with the system's clock (the
//                                 tests move it with faketime):
//     prepare  one-off reminders due in 5 and 10 days (warned 14 days before),
//              one due in 30 days, one the user blocked due in 5 days and
//              one the user blocked 40 days ago; saved
//     answer   loaded and prepared as at start-up; the reminder due today is
//              answered "Przypomnij jutro", which saves
//     check    loaded and prepared; a line per reminder: days from today,
//              Blok, WarnToday
#include "app/appstate.h"
#include "dates/datetools.h"
#include "store/atomicfile.h"
#include "store/fixedformats.h"

#include <cstdio>
#include <string>

using namespace remindo;

namespace {

int Run(const std::string& folder, const std::string& step)
{
    SystemClock clock;
    FixedFormats formats;
    NoScreenSaver saver;
    ScriptedMessages box;
    const Paths paths = MakePaths(folder);
    if (!MakeFolders(paths.settingsFolder))
        return 2;
    AppState state(AppEnvironment{clock, formats, saver, paths});
    state.messages.SetTarget(&box);
    state.engine.Start();
    const Date today = state.engineState.DataAkt;
    if (step == "prepare") {
        auto add = [&](int days, int32_t blok) {
            state.list.AddReminder("Za " + std::to_string(days) + "+", IncDay(today, days), 0, 14, 0, blok, 1, today);
        };
        add(5, 0);
        add(10, 0);
        add(30, 0);
        add(5, 1);
        add(-40, 1);
        return state.SaveList() ? 0 : 1;
    }
    // As the start timer does.
    if (state.ReloadDataFile() != kLoaded)
        return 1;
    state.engine.PreparationPass();
    if (step == "answer") {
        for (int32_t i = 0; i < state.list.ReminderCount(); ++i) {
            if (state.list[i].Data != today)
                continue;
            // As the reminder window's "Przypomnij jutro" does.
            const bool saved = state.SaveReminderChange(i, [today](Komunikat& k) {
                k.BlokDzis = 1;
                k.BlokDzisData = today;
            });
            return saved ? 0 : 1;
        }
        return 3; // none due today
    }
    if (step == "check") {
        for (const Komunikat& k : state.list.items)
            std::printf("%d %d %d\n", int(k.Data - today), int(k.Blok), int(k.WarnToday));
        return 0;
    }
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    const std::string mode = argv[1];
    if (mode == "put") {
        FixedFormats formats;
        ScriptedMessages messages;
        Scrambler scrambler(7);
        DataFile file(argv[2], messages, formats, scrambler);
        Komunikaty list;
        list.AddReminder(std::string(argv[3]) + "+", DateFromYmd(2026, 12, 20), 0, 3, 0, 0, 1, DateFromYmd(2026, 12, 8));
        return file.SaveDataFile(list) ? 0 : 1;
    }
    if (mode == "run")
        return Run(argv[2], argv[3]);
    return 2;
}
