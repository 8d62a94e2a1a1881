// Remindo: one copy per user, the eight windows, the tray icon, and the
// event loop until `&Zakończ` (or a signal that asks it to end). A start
// while a copy runs hands its request to that copy over the session bus.

#include "platform/core/appbus.h"
#include "platform/core/apppaths.h"
#include "platform/core/displaysession.h"
#include "platform/core/instancelock.h"
#include "platform/core/qtpolish.h"
#include "platform/core/qtregionalformats.h"
#include "platform/core/screensaver.h"
#include "platform/gui/desktop.h"
#include "platform/gui/trayicon.h"
#include "platform/sound/reminder_sound.h"
#include "remindo_version.h"
#include "resources/resources.h"
#include "shell/datawatch.h"
#include "shell/endsignals.h"
#include "shell/options.h"
#include "shell/remote.h"
#include "shell/session.h"
#include "shell/testintervals.h"
#include "shell/tray.h"
#include "shell/windowset.h"
#include "windows/dane.h"
#include "store/atomicfile.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

using namespace remindo;

namespace {

// The arguments handed to Qt, kept alive for the application object.
struct QtArgv {
    explicit QtArgv(std::vector<std::string> args) : strings(std::move(args))
    {
        for (std::string& s : strings)
            pointers.push_back(s.data());
        pointers.push_back(nullptr);
        argc = int(strings.size());
    }
    std::vector<std::string> strings;
    std::vector<char*> pointers;
    int argc = 0;
    char** argv() { return pointers.data(); }
};

int AlreadyRunningBox()
{
    // No window of ours exists here: the desktop's own box, and no file is
    // read or written.
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Uwaga"), QStringLiteral("Program jest już uruchomiony"),
                    QMessageBox::Ok);
    box.exec();
    return 1;
}

// Another copy holds the lock.
int HandOver(const Options& options, QtArgv& qt, LockFileInstance& lock)
{
    const Request request = options.request;
    if (request == Request::Autostart)
        return 0; // it already runs: nothing to do at log-on
    // What stood in the way of the window asked for is said, so that a
    // request never ends in silence with nothing opened.
    const auto tell = [&options](const std::string& inTheWay) {
        if (!inTheWay.empty())
            std::fputs(InTheWayLine(options.action, inTheWay).c_str(), stderr);
    };
    if (request == Request::Run) {
        QApplication app(qt.argc, qt.argv());
        LoadQtPolish(app);
        // Without a tray icon the application menu is the only door to the
        // running copy: the start opens its list. With one, the box says so.
        const BusClient bus;
        if (bus.HasTrayIcon() == false) {
            if (const std::optional<std::string> inTheWay = bus.RunAction("dane")) {
                tell(*inTheWay);
                return 0;
            }
        }
        return AlreadyRunningBox();
    }
    QCoreApplication app(qt.argc, qt.argv());
    const BusClient bus;
    const std::optional<std::string> inTheWay = bus.RunAction(std::string(options.action->name));
    if (!inTheWay) {
        std::fputs("remindo: działający program nie odpowiada na magistrali sesji\n", stderr);
        return 1;
    }
    tell(*inTheWay);
    if (request == Request::Quit) {
        // Scripts may go on as soon as it has ended.
        for (int i = 0; i < 100 && !lock.Acquire(); ++i)
            QThread::msleep(100);
    }
    return 0;
}

// `signalFd` from BlockEndSignals(); `endedBy` is the signal that ended the
// program, or 0.
int RunProgram(const Action* action, QtArgv& qt, int signalFd, int& endedBy)
{
    QApplication app(qt.argc, qt.argv());
    LoadQtPolish(app);
    QApplication::setApplicationName(QStringLiteral("Remindo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Remindo"));
    QApplication::setDesktopFileName(QStringLiteral(REMINDO_APP_ID));
    // The windows are only ever hidden; the program ends by its menu alone.
    QApplication::setQuitOnLastWindowClosed(false);
    InitResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/remindo.png")));

    SystemClock clock;
    QtRegionalFormats formats;
    DBusScreenSaver saver;
    AppState state(AppEnvironment{clock, formats, saver, MakePaths(AppDataFolder())});

    QtTrayIcon icon;
    CoolTray tray(icon, TestTrayWaitMs(CoolTray::kHostWaitMs));
    tray.ShowIcon();

    QtDesktop desktop;
    ModuleSoundPlayer sound;
    WindowSet windows(state, ShellServices{desktop, sound});
    ApplyTestIntervals(*windows.program);
    tray.Attach(*windows.program);

    // Another program's version of the data file is shown when nothing here
    // waits to be saved; a reload waits for an open editor or question.
    DataFileWatch watch(
        state, [] { return QApplication::activeModalWidget() != nullptr; },
        [&state, p = windows.program.get()] {
            QTimer::singleShot(0, p, [&state] { state.session().ReadOtherVersion(); });
        });
    RemoteControl remote(state, *windows.program, tray, watch);
    const LogoutHandlers beforeEnd{[&state] { return state.session().DataChanged(); },
                                   [d = windows.dane] { return d->AskBeforeEnd(); },
                                   [&state] { return state.session().SaveList(); },
                                   [d = windows.dane] { return d->EndQuestionStands(); }};
    WatchSession(app, beforeEnd);
    // As `&Zakończ` ends it: every event loop is left.
    SignalEnding signalEnding(beforeEnd, [] { QCoreApplication::exit(0); });
    EndSignalReader signalReader(signalFd);
    QObject::connect(&signalReader, &EndSignalReader::received, &app,
                     [&signalEnding](int s) { signalEnding.Received(s); });
    BusService bus(remote);
    bus.Register();

    if (action)
        QObject::connect(
            windows.program.get(), &Program::dataLoaded, windows.program.get(),
            [p = windows.program.get(), action] { p->ActivateAction(action->name); }, Qt::SingleShotConnection);
    const int status = app.exec();
    endedBy = signalEnding.EndedBy();
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = ParseOptions(std::vector<std::string>(argv, argv + argc));
    if (!options.error.empty()) {
        std::fprintf(stderr, "remindo: %s (remindo --help opisuje opcje)\n", options.error.c_str());
        return 2;
    }
    if (options.request == Request::Help) {
        std::fputs(HelpText().c_str(), stdout);
        return 0;
    }
    if (options.request == Request::Version) {
        std::puts("Remindo " REMINDO_VERSION);
        return 0;
    }

    const std::string folder = MakePaths(AppDataFolder()).settingsFolder;
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        // The log-on start is only for users who have chosen Remindo, and a
        // copy that runs would have made the folder.
        if (options.request == Request::Autostart || options.request == Request::Quit)
            return 0;
        MakeFolders(folder);
    }

    std::vector<std::string> qtArgs = options.qtArgs;
    ChoosePlatformForSession(qtArgs);
    QtArgv qt(std::move(qtArgs));

    LockFileInstance lock(LockFileInstance::PathIn(folder));
    if (!lock.Acquire())
        return HandOver(options, qt, lock);
    if (options.request == Request::Quit)
        return 0; // none runs
    RemoveLeftoverTemporaries(folder); // no other copy can be saving now
    // No thread runs yet: Qt's and the session bus's start later, blocked.
    const int signalFd = BlockEndSignals();
    int endedBy = 0;
    const int status = RunProgram(options.action, qt, signalFd, endedBy);
    if (endedBy != 0) {
        // Saved and closed; now ended as the signal ends a program, so that
        // a shell or a service manager sees how it ended.
        UnblockEndSignals();
        std::raise(endedBy);
    }
    return status;
}
