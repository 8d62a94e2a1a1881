#include "shell/windowset.h"

#include "windows/kalendarz.h"
#include "windows/ustawienia.h"
#include "shell/syncdriver.h"
#include "windows/about.h"
#include "windows/synchronizacja.h"
#include "windows/czestosc.h"
#include "windows/dane.h"
#include "windows/help.h"
#include "windows/warning.h"
#include "windows/wprowadzane.h"

#include <QApplication>

#include <filesystem>

namespace remindo {

WindowSet::WindowSet(AppState& state, const ShellServices& services) : state_(state)
{
    // One line per window, in the order of creation.
    glowny = Own(new TFGlowny(state, services));
    program = std::make_unique<Program>(state, *glowny, services.desktop);
    dane = Own(new TFDane(state));
    warning = Own(new TFWarning());
    wprowadzane = Own(new TFWprowadzane(state, *dane));
    czestosc = Own(new TFCzestosc(state, *wprowadzane));
    kalendarz = Own(new TFkalendarz(state, nullptr, services.help));
    ustawienia = Own(new TFUstawienia(state));
    about = Own(new TFAbout());
    // The account beside the settings, in the data file's folder.
    sync = std::make_unique<SyncDriver>(
        state, std::filesystem::path(state.dataFile().Path()).parent_path().string(),
        [] { return QApplication::activeModalWidget() != nullptr; });
    synchronizacja = Own(new TFSynchronizacja(*sync));

    state.messages().SetTarget(warning);
    SetHelpFailureBox(&state.messages());
    dane->SetEditor(wprowadzane);
    wprowadzane->SetDialog(czestosc);
    program->SetWindows(opened_);
    program->SetBeforeEnd([list = dane] { return list->AskBeforeEnd(); });
    program->SetSyncNow([s = sync.get()] { s->SyncNow(); });
}

WindowSet::~WindowSet()
{
    if (state_.messages().Target() == warning)
        state_.messages().SetTarget(nullptr);
    if (HelpFailureBox() == &state_.messages())
        SetHelpFailureBox(nullptr);
    program.reset();
    sync.reset(); // its thread's job cancelled first
    for (auto it = all_.rbegin(); it != all_.rend(); ++it)
        delete *it;
}

} // namespace remindo
