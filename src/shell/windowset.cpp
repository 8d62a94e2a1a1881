#include "shell/windowset.h"

#include "windows/kalendarz.h"
#include "windows/ustawienia.h"
#include "windows/about.h"
#include "windows/czestosc.h"
#include "windows/dane.h"
#include "windows/help.h"
#include "windows/warning.h"
#include "windows/wprowadzane.h"

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

    state.messages().SetTarget(warning);
    SetHelpFailureBox(&state.messages());
    dane->SetEditor(wprowadzane);
    wprowadzane->SetDialog(czestosc);
    program->SetWindows(opened_);
    program->SetBeforeEnd([list = dane] { return list->AskBeforeEnd(); });
}

WindowSet::~WindowSet()
{
    if (state_.messages().Target() == warning)
        state_.messages().SetTarget(nullptr);
    if (HelpFailureBox() == &state_.messages())
        SetHelpFailureBox(nullptr);
    program.reset();
    for (auto it = all_.rbegin(); it != all_.rend(); ++it)
        delete *it;
}

} // namespace remindo
