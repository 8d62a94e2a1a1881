#include "shell/windowset.h"

#include "windows/about.h"
#include "windows/czestosc.h"
#include "windows/dane.h"
#include "windows/warning.h"
#include "windows/wprowadzane.h"

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
    dane = Menu(new TFDane(state));
    warning = Own(new TFWarning());
    wprowadzane = Own(new TFWprowadzane(state, *static_cast<TFDane*>(dane.widget)));
    czestosc = Own(new TFCzestosc(state, *static_cast<TFWprowadzane*>(wprowadzane)));
    kalendarz = Menu(new ThinWindow(state, QSize(500, 500), "TFkalendarz"));
    ustawienia = Menu(new ThinWindow(state, QSize(386, 243), "TFUstawienia"));
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
