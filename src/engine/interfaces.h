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
    // Starts the auto-hide countdown for the reminder just shown; one still
    // running from an earlier showing starts again, so that each reminder
    // stands for its whole time.
    virtual void StartAutoHideTimer() = 0;
    // A reminder shown by an earlier pass still stands on the screen: the
    // pass leaves it there, shows nothing and counts nothing, and the others
    // are asked again at a later pass. A presenter whose showings are over
    // at once (one that only records them) keeps the default.
    virtual bool ReminderStanding() const { return false; }
};

// A screen saver that never runs.
class NoScreenSaver final : public ScreenSaver {
public:
    bool ScreenSaverRunning() override { return false; }
};

} // namespace remindo
