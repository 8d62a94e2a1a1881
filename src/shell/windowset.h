#pragma once
// The program's eight windows, created once in their fixed order and kept
// for the whole run: TFGlowny, TFDane, TFWarning, TFWprowadzane,
// TFCzestosc, TFkalendarz, TFUstawienia, TFAbout.

#include "shell/glowny.h"

#include <memory>
#include <vector>

class QWidget;

namespace remindo {

class TFAbout;
class TFWarning;

class WindowSet {
public:
    WindowSet(AppState& state, const ShellServices& services);
    ~WindowSet();
    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;

    TFGlowny* glowny = nullptr;
    MenuWindow dane;
    TFWarning* warning = nullptr;
    QWidget* wprowadzane = nullptr;
    QWidget* czestosc = nullptr;
    MenuWindow kalendarz;
    MenuWindow ustawienia;
    MenuWindow about;

    // Every window, in the order of creation.
    const std::vector<QWidget*>& All() const { return all_; }

private:
    template <class W> W* Own(W* window)
    {
        all_.push_back(window);
        return window;
    }
    template <class W> MenuWindow Menu(W* window)
    {
        Own(window);
        return MenuWindow{window, [window] { window->Open(); }};
    }

    AppState& state_;
    std::vector<QWidget*> all_;
};

} // namespace remindo
