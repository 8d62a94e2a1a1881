#pragma once
// The program's one state object: everything the windows and the engine
// share (settings, the reminder list, the engine's clock state, the log) and
// the store and engine services that work on them. Start-up creates it once
// and hands it to every window; there are no mutable globals. The windows
// read its values and change them only through its functions and its edit
// session. No widgets here, so it is tested without a display.

#include "app/editsession.h"
#include "calendar/calendarexam.h"
#include "dates/clock.h"
#include "engine/engine.h"
#include "engine/interfaces.h"
#include "store/datafile.h"
#include "store/formats.h"
#include "store/log.h"
#include "store/messages.h"
#include "store/reminders.h"
#include "store/scramble.h"
#include "store/settings.h"
#include "store/settingsfile.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace remindo {

// The message box as the store sees it, before the box window exists: calls
// go to the box installed later; with none installed they answer Nie.
class MessagesRelay final : public Messages {
public:
    void SetTarget(Messages* target) { target_ = target; }
    Messages* Target() const { return target_; }
    int ShowWarning(int kind, int icon, std::string_view text) override
    {
        return target_ ? target_->ShowWarning(kind, icon, text) : kAnswerNie;
    }

private:
    Messages* target_ = nullptr;
};

// The reminder window as the engine sees it, before that window exists.
class PresenterRelay final : public ReminderPresenter {
public:
    void SetTarget(ReminderPresenter* target) { target_ = target; }
    void ShowReminderWindow(int32_t warning, const std::string& cp1250Text) override
    {
        if (target_)
            target_->ShowReminderWindow(warning, cp1250Text);
    }
    void StartAutoHideTimer() override
    {
        if (target_)
            target_->StartAutoHideTimer();
    }
    bool ReminderStanding() const override { return target_ && target_->ReminderStanding(); }

private:
    ReminderPresenter* target_ = nullptr;
};

// The main window's two running timers, as the settings dialog sees them.
class ProgramTimers {
public:
    virtual ~ProgramTimers() = default;
    // New intervals in milliseconds. A running timer whose interval changes
    // counts the new interval from now; one whose interval stays the same
    // goes on counting; a stopped timer stays stopped.
    virtual void SetIntervals(int examinationMs, int autoHideMs) = 0;
};

// What the program's state is built on: the desktop's services and the
// file paths, all chosen by start-up (or by a test).
struct AppEnvironment {
    const Clock& clock;
    const RegionalFormats& formats;
    ScreenSaver& screenSaver;
    Paths paths;
};

// Timer values the timers actually run with: a `BadajCo` or `UkryjPo` of 0
// or less (a damaged or hand-edited settings line) runs as its default,
// since a zero interval would stop every reminder, or every auto-hide, for
// good. Values are capped where the 32-bit millisecond interval ends.
int32_t EffectiveBadajCo(const Settings& s);
int32_t EffectiveUkryjPo(const Settings& s);
int ExaminationIntervalMs(const Settings& s);
int AutoHideIntervalMs(const Settings& s);

namespace test {
class TestState;
}

class AppState {
public:
    explicit AppState(const AppEnvironment& env);
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    // ---- program-wide values, read by everyone
    const Settings& settings() const { return settings_; }
    const EngineState& engineState() const { return engineState_; } // DataAkt, PassTime, CurrentReminderIndex
    const Komunikaty& list() const { return list_; }                // the reminder list with SelectedIndex
    const Clock& clock() const { return clock_; }
    const RegionalFormats& formats() const { return formats_; }
    const DataFile& dataFile() const { return dataFile_; }

    // ---- services
    MessagesRelay& messages() { return messages_; } // the message box, once it exists
    DiagnosticLog& log() { return log_; }
    // Every change to the list and every read or write of the data file.
    EditSession& session() { return session_; }

    // ---- what the program changes
    // The reminder window and its timers, once they exist (null: gone).
    void SetProgram(ReminderPresenter* presenter, ProgramTimers* timers);
    // The start (FormCreate): the settings read (or written as the
    // defaults), the log switched as they say, today. `logFolder` is asked
    // for the log's folder when the log is on.
    void Start(const std::function<std::string()>& logFolder);
    // The settings dialog's ✔: in force at once, the timers' intervals too,
    // then written; false when the file could not be written.
    bool SetSettings(const Settings& s);
    void ExaminationPass() { engine_.ExaminationPass(); }
    // The reminders of each day of the week that holds `date`, Monday first.
    const std::array<Zdarzenie, 7>& ExamineWeek(Date date);

private:
    friend class test::TestState; // arranges the values as the files would leave them

    Settings settings_;
    EngineState engineState_;
    Komunikaty list_;
    const Clock& clock_;
    const RegionalFormats& formats_;
    DiagnosticLog log_;
    Scrambler scrambler_;
    MessagesRelay messages_;
    PresenterRelay presenter_; // the reminder window, once it exists
    SettingsFile settingsFile_;
    DataFile dataFile_;
    Engine engine_;
    CalendarExamination calendar_;
    ProgramTimers* timers_ = nullptr; // the main window's, once it exists
    EditSession session_;
};

} // namespace remindo
