#pragma once
// The reminder engine: the preparation pass, which marks the reminders inside
// their warning window today and ends blocks, and the examination pass, which
// picks the one reminder to show now.

#include "dates/clock.h"
#include "dates/date.h"
#include "engine/interfaces.h"
#include "engine/occurrence.h"

#include <cstdint>

namespace remindo {

class DiagnosticLog;
class Komunikaty;
class RegionalFormats;
struct Settings;

// The engine's clock state. Owned by the caller so that the diagnostic log,
// which stamps every line with DataAkt and PassTime, can hold references to
// these fields before the engine exists.
struct EngineState {
    Date DataAkt;               // the engine's today
    DateTime PassTime;          // start of the current or last examination pass
    Date LastPreparationDate;   // zero until the first preparation pass
    int32_t CurrentReminderIndex = -1; // the reminder the window shows; its buttons act on it
};

class Engine {
public:
    Engine(EngineState& state, Komunikaty& list, const Settings& settings, DiagnosticLog& log,
           const RegionalFormats& formats, const Clock& clock, ScreenSaver& saver, ReminderPresenter& presenter);

    // Start-up: today and the pass time from the clock.
    void Start();

    void ExaminationPass();
    void CheckNewDay();
    int32_t ExamineReminder(int index);
    int32_t WarnBefore(int index, int32_t d);
    int32_t WarnAfter(int index, int32_t d);
    int32_t MinuteOfDay() const;

    void PreparationPass();
    void PrepareByKind(int index);
    void PrepareReminder(int index, int32_t d);
    bool ReleaseTodayBlock(int index);
    int32_t StartMinute() const { return MinuteOfDay() - 59; }

    EngineState& State() { return state_; }

private:
    bool Detail(int above) const;
    void Log(const std::string& text);
    int32_t WarnIfAllowed(int index, int32_t d, int32_t answer, const std::string& what);

    EngineState& state_;
    Komunikaty& list_;
    const Settings& settings_;
    DiagnosticLog& log_;
    const RegionalFormats& formats_;
    const Clock& clock_;
    ScreenSaver& saver_;
    ReminderPresenter& presenter_;
};

} // namespace remindo
