// Remindo: one copy per user, the eight windows, the tray icon, and the
// event loop until `&Zakończ`.

#include "platform/core/apppaths.h"
#include "platform/core/displaysession.h"
#include "platform/core/instancelock.h"
#include "platform/core/qtregionalformats.h"
#include "platform/core/screensaver.h"
#include "platform/gui/desktop.h"
#include "platform/gui/trayicon.h"
#include "platform/sound/reminder_sound.h"
#include "resources/resources.h"
#include "shell/testintervals.h"
#include "shell/tray.h"
#include "shell/windowset.h"

#include <QApplication>
#include <QMessageBox>

using namespace remindo;

int main(int argc, char** argv)
{
    ChoosePlatformForSession();

    LockFileInstance lock;
    if (!lock.Acquire()) {
        // No window of ours exists yet: the desktop's own box, and no file
        // is read or written.
        QApplication app(argc, argv);
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Uwaga"),
                        QStringLiteral("Program jest już uruchomiony"), QMessageBox::Ok);
        box.exec();
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Remindo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Remindo"));
    QApplication::setDesktopFileName(QStringLiteral("remindo"));
    // The windows are only ever hidden; the program ends by its menu alone.
    QApplication::setQuitOnLastWindowClosed(false);
    InitResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/remindo.png")));

    SystemClock clock;
    QtRegionalFormats formats;
    DBusScreenSaver saver;
    AppState state(AppEnvironment{clock, formats, saver, MakePaths(AppDataFolder())});

    QtTrayIcon icon;
    CoolTray tray(icon);
    tray.ShowIcon();

    QtDesktop desktop;
    ModuleSoundPlayer sound;
    WindowSet windows(state, ShellServices{desktop, sound});
    ApplyTestIntervals(*windows.glowny);
    tray.Attach(*windows.glowny);
    return app.exec();
}
