#pragma once
// An engine on a manual clock with recording fakes for the desktop.

#include "dates/clock.h"
#include "dates/datetools.h"
#include "engine/engine.h"
#include "store/fixedformats.h"
#include "store/log.h"
#include "store/reminders.h"
#include "store/settings.h"

#include <functional>
#include <string>
#include <vector>

namespace rig {

using namespace remindo;

struct Saver : ScreenSaver {
    bool running = false;
    int asked = 0;
    bool ScreenSaverRunning() override
    {
        ++asked;
        return running;
    }
};

struct Showing {
    DateTime at;
    int index;
    int32_t warning;
    std::string text;
};

struct Presenter : ReminderPresenter {
    std::vector<Showing> shown;
    int autoHides = 0;
    const EngineState* state = nullptr;
    const Clock* clock = nullptr;
    std::function<void(const Showing&)> onShow;
    // How long each showing stands on the screen, as the window's auto-hide
    // countdown keeps it there; 0: gone at once.
    int standsSeconds = 0;
    void ShowReminderWindow(int32_t warning, const std::string& text) override
    {
        shown.push_back({clock->Now(), state->CurrentReminderIndex, warning, text});
        if (onShow)
            onShow(shown.back());
    }
    void StartAutoHideTimer() override { ++autoHides; }
    bool ReminderStanding() const override
    {
        const auto ms = [](const DateTime& t) { return int64_t(t.date.serial) * 86400000 + t.msecs; };
        return !shown.empty() && ms(clock->Now()) < ms(shown.back().at) + int64_t(standsSeconds) * 1000;
    }
};

struct Rig {
    EngineState state;
    Komunikaty list;
    Settings settings;
    FixedFormats formats;
    DiagnosticLog log{state.DataAkt, state.PassTime, formats};
    ManualClock clock;
    Saver saver;
    Presenter presenter;
    Engine engine{state, list, settings, log, formats, clock, saver, presenter};

    // The program's start at `start`: today from the clock, then the load's preparation pass.
    explicit Rig(DateTime start)
    {
        clock.Set(start);
        presenter.state = &state;
        presenter.clock = &clock;
        engine.Start();
    }

    Komunikat& Add(int32_t coIle, Date data, int32_t ilePrzed = 0, int32_t czyPo = 0, int32_t ile = 1,
                   std::string tresc = "Tekst+")
    {
        list.AddReminder(std::move(tresc), data, coIle, ilePrzed, czyPo, 0, ile, state.DataAkt);
        return list.items.back();
    }

    void At(int hour, int minute) { clock.Set(MakeDateTime(clock.Today(), hour, minute)); }
    void NextDayAt(int hour, int minute) { clock.Set(MakeDateTime(IncDay(clock.Today(), 1), hour, minute)); }

    // One examination pass; answers the index shown, or -1.
    int Pass()
    {
        const size_t before = presenter.shown.size();
        engine.ExaminationPass();
        return presenter.shown.size() > before ? presenter.shown.back().index : -1;
    }
    int32_t LastWarning() const { return presenter.shown.back().warning; }
};

inline Date D(int y, int m, int d) { return DateFromYmd(y, m, d); }

} // namespace rig
