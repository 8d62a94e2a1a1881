// One run of the program's state on the application-data folder <folder>,
// with the system's clock (the test moves it with faketime):
//   app_child <folder> prepare  one-off reminders due in 5, 10 and 30 days,
//                               one due in 5 days and one 40 days ago that
//                               the user blocked; saved
//   app_child <folder> answer   loaded and prepared as at start-up; the one
//                               due today answered "Przypomnij jutro" (a save)
//   app_child <folder> check    loaded and prepared; a line per reminder:
//                               days from today, Blok, WarnToday
#include "app/teststate.h"
#include "dates/datetools.h"
#include "store/atomicfile.h"
#include "store/fixedformats.h"

#include <cstdio>
#include <string>

using namespace remindo;

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const std::string step = argv[2];
    SystemClock clock;
    FixedFormats formats;
    NoScreenSaver saver;
    ScriptedMessages box;
    const Paths paths = MakePaths(argv[1]);
    MakeFolders(paths.settingsFolder);
    test::TestState state(AppEnvironment{clock, formats, saver, paths});
    state.messages.SetTarget(&box);
    state.engine.Start();
    const Date today = state.engineState.DataAkt;
    if (step == "prepare") {
        for (const auto& [days, blok] : {std::pair{5, 0}, {10, 0}, {30, 0}, {5, 1}, {-40, 1}})
            state.list.AddReminder("Za " + std::to_string(days) + "+", IncDay(today, days), 0, 14, 0, blok, 1, today);
        return state.session().SaveList() ? 0 : 1;
    }
    if (state.session().ReloadDataFile() != kLoaded)
        return 1;
    state.engine.PreparationPass(); // as the start timer does
    for (int32_t i = 0; i < state.list.ReminderCount(); ++i) {
        const Komunikat& k = state.list[i];
        if (step == "check")
            std::printf("%d %d %d\n", int(k.Data - today), int(k.Blok), int(k.WarnToday));
        else if (k.Data == today) // as the reminder window's button does
            return state.session().SaveReminderChange(i, [today](Komunikat& r) { r.BlokDzis = 1, r.BlokDzisData = today; }) ? 0 : 1;
    }
    return step == "check" ? 0 : 3;
}
