#pragma once
// The program's eight windows, created once in their fixed order and kept
// for the whole run: TFGlowny, TFDane, TFWarning, TFWprowadzane,
// TFCzestosc, TFkalendarz, TFUstawienia, TFAbout.

#include "shell/glowny.h"

#include <vector>

class QWidget;

namespace remindo {

class TFAbout;
class TFCzestosc;
class TFDane;
class TFUstawienia;
class TFWarning;
class TFWprowadzane;
class TFkalendarz;

class WindowSet {
public:
    WindowSet(AppState& state, const ShellServices& services);
    ~WindowSet();
    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;

    TFGlowny* glowny = nullptr;
    TFDane* dane = nullptr;
    TFWarning* warning = nullptr;
    TFWprowadzane* wprowadzane = nullptr;
    TFCzestosc* czestosc = nullptr;
    TFkalendarz* kalendarz = nullptr;
    TFUstawienia* ustawienia = nullptr;
    TFAbout* about = nullptr;

    // The windows the tray menu opens.
    const MenuWindows& Menus() const { return menus_; }
    // Every window, in the order of creation.
    const std::vector<QWidget*>& All() const { return all_; }

private:
    template <class W> W* Own(W* window)
    {
        all_.push_back(window);
        return window;
    }
    template <class W> static MenuWindow Menu(W* window)
    {
        return MenuWindow{window, [window] { window->Open(); }};
    }

    AppState& state_;
    MenuWindows menus_;
    std::vector<QWidget*> all_;
};

} // namespace remindo
