#include "shell/windowset.h"

#include "calendar/kalendarz.h"
#include "shell/ustawienia.h"
#include "windows/about.h"
#include "windows/warning.h"

namespace remindo {

namespace {

// Stands in for a window that is not built yet: its size and name, shown
// and hidden like the real one; a click anywhere closes it.
class ThinWindow final : public PictureWindow {
public:
    ThinWindow(AppState&, QSize size, const char* name) : PictureWindow(size, QString())
    {
        setObjectName(QLatin1String(name));
        setWindowTitle(QStringLiteral("Remindo"));
        connect(Background(), &ClickArea::clicked, this, &QWidget::hide);
    }
    void Open()
    {
        CenterOnScreen();
        show();
        raise();
        activateWindow();
    }
};

} // namespace

WindowSet::WindowSet(AppState& state, const ShellServices& services) : state_(state)
{
    // One line per window, in the order of creation.
    glowny = Own(new TFGlowny(state, services));
    dane = Menu(new ThinWindow(state, QSize(386, 447), "TFDane"));
    warning = Own(new TFWarning());
    wprowadzane = Own(new ThinWindow(state, QSize(374, 395), "TFWprowadzane"));
    czestosc = Own(new ThinWindow(state, QSize(336, 137), "TFCzestosc"));
    kalendarz = Menu(new TFkalendarz(state));
    ustawienia = Menu(new TFUstawienia(state));
    about = Menu(new TFAbout());

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
