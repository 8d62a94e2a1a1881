// open_calendar FILE | daily:N [--x11]
// Opens the calendar window on the current week of a data file (or of N
// daily reminders, the longest week a list of N can give) and prints the
// time from the menu's click to the window being on the screen, and the
// process's resident memory before and after.

#include "windows/kalendarz.h"
#include "app/appstate.h"
#include "store/fixedformats.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWindow>

#include <cstdio>
#include <cstring>
#include <string>

using namespace remindo;

namespace {

long StatusKb(const char* key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(std::strlen(key))).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: open_calendar FILE | daily:N\n");
        return 2;
    }
    QTemporaryDir dir;
    Paths paths = MakePaths(dir.path().toStdString());
    const std::string source = argv[1];
    if (source.rfind("daily:", 0) != 0)
        paths.dataFile = source;
    ManualClock clock{MakeDateTime(DateFromYmd(2026, 12, 8), 9, 0)};
    FixedFormats formats;
    NoScreenSaver saver;
    ScriptedMessages box;
    AppState state{AppEnvironment{clock, formats, saver, paths}};
    state.messages().SetTarget(&box);
    state.Start([] { return std::string(); }); // today from the clock
    if (source.rfind("daily:", 0) == 0) {
        const long n = std::strtol(source.c_str() + 6, nullptr, 10);
        for (long i = 0; i < n; ++i)
            state.session().AddReminder("Codzienne przypomnienie nr " + std::to_string(i + 1) + "+druga linia+",
                                        DateFromYmd(2026, 1, 1), -1, 0, 0, 0, 1);
    } else if (state.session().ReloadDataFile() != 0) {
        std::fprintf(stderr, "open_calendar: %s does not load\n", source.c_str());
        return 2;
    }

    TFkalendarz window(state); // created at start-up, before any opening
    app.processEvents();
    const long before = StatusKb("VmRSS:");
    QElapsedTimer t;
    t.start();
    window.Open();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        app.processEvents(QEventLoop::AllEvents, 5);
    app.processEvents(); // the first paint
    const qint64 shownMs = t.elapsed();
    const long after = StatusKb("VmRSS:");
    std::printf("reminders %d, lines listed %zu, listing height %d px\n", state.list().ReminderCount(),
                window.Listing().Lines().size(), window.Listing().Height());
    std::printf("time to shown %lld ms\n", static_cast<long long>(shownMs));
    std::printf("resident memory before %ld kB, after %ld kB, peak %ld kB\n", before, after,
                StatusKb("VmHWM:"));
    return 0;
}
