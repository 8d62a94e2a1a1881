#pragma once
// The program's nine windows, created once in their fixed order and kept
// for the whole run: TFGlowny, TFDane, TFWarning, TFWprowadzane,
// TFCzestosc, TFkalendarz, TFUstawienia, TFAbout, TFSynchronizacja; the
// program that drives them, made with the reminder window before any other
// exists; and the syncing that the sync window shows.

#include "shell/program.h"
#include "windows/glowny.h"

#include <memory>
#include <vector>

class QWidget;

namespace remindo {

class SyncDriver;
class TFAbout;
class TFSynchronizacja;
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
    std::unique_ptr<Program> program;
    TFDane* dane = nullptr;
    TFWarning* warning = nullptr;
    TFWprowadzane* wprowadzane = nullptr;
    TFCzestosc* czestosc = nullptr;
    TFkalendarz* kalendarz = nullptr;
    TFUstawienia* ustawienia = nullptr;
    TFAbout* about = nullptr;
    // The program's syncing, and its window.
    std::unique_ptr<SyncDriver> sync;
    TFSynchronizacja* synchronizacja = nullptr;

    // Every window, in the order of creation.
    const std::vector<QWidget*>& All() const { return all_; }

private:
    // A window with an open sequence of its own can be an action's.
    template <class W> W* Own(W* window)
    {
        all_.push_back(window);
        if constexpr (requires { window->Open(); })
            opened_.push_back(MenuWindow{window, [window] { window->Open(); }});
        return window;
    }

    AppState& state_;
    std::vector<QWidget*> all_;
    std::vector<MenuWindow> opened_;
};

} // namespace remindo
