#pragma once
// What the engine needs from the desktop, behind small interfaces so that the
// passes run the same under tests, the command-line tool and the windows.

#include <cstdint>
#include <string>

namespace remindo {

class ScreenSaver {
public:
    virtual ~ScreenSaver() = default;
    virtual bool ScreenSaverRunning() = 0;
};

// The reminder window as the examination pass sees it.
class ReminderPresenter {
public:
    virtual ~ReminderPresenter() = default;
    // `warning` is the warning value (-1 after, d >= 0 days ahead); `cp1250Text`
    // is the composed window text, lines separated by carriage returns.
    virtual void ShowReminderWindow(int32_t warning, const std::string& cp1250Text) = 0;
    // Enables the auto-hide timer; a timer already running is not restarted.
    virtual void StartAutoHideTimer() = 0;
};

// A screen saver that never runs.
class NoScreenSaver final : public ScreenSaver {
public:
    bool ScreenSaverRunning() override { return false; }
};

} // namespace remindo
