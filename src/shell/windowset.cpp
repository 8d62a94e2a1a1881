#include "shell/windowset.h"

#include "calendar/kalendarz.h"
#include "shell/ustawienia.h"
#include "windows/about.h"
#include "windows/czestosc.h"
#include "windows/dane.h"
#include "windows/wprowadzane.h"
#include "windows/warning.h"

namespace remindo {

WindowSet::WindowSet(AppState& state, const ShellServices& services) : state_(state)
{
    // One line per window, in the order of creation.
    glowny = Own(new TFGlowny(state, services));
    auto* list = new TFDane(state);
    dane = Menu(list);
    warning = Own(new TFWarning());
    auto* editor = Own(new TFWprowadzane(state, *list));
    wprowadzane = editor;
    auto* dialog = Own(new TFCzestosc(state, *editor));
    czestosc = dialog;
    kalendarz = Menu(new TFkalendarz(state));
    ustawienia = Menu(new TFUstawienia(state));
    about = Menu(new TFAbout());
    list->SetEditor(editor);
    editor->SetDialog(dialog);

    state.messages.SetTarget(warning);
    glowny->SetMenuWindows(MenuWindows{dane, kalendarz, ustawienia, about});
}

WindowSet::~WindowSet()
{
    if (state_.messages.Target() == warning)
        state_.messages.SetTarget(nullptr);
    for (auto it = all_.rbegin(); it != all_.rend(); ++it)
        delete *it;
}

} // namespace remindo
