#pragma once
// The program's one state object: everything the windows and the engine
// share (settings, the reminder list, the engine's clock state, the pending
// change flag, the log) and the store and engine services that work on them.
// Start-up creates it once and hands it to every window; there are no
// mutable globals. No widgets here, so it is tested without a display.

#include "calendar/calendarexam.h"
#include "dates/clock.h"
#include "engine/engine.h"
#include "engine/interfaces.h"
#include "store/datafile.h"
#include "store/filestamp.h"
#include "store/formats.h"
#include "store/log.h"
#include "store/messages.h"
#include "store/reminders.h"
#include "store/scramble.h"
#include "store/settings.h"
#include "store/settingsfile.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

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

// The reminder the user knows as `k` (same text, date and rule) in `list`
// after another program's version was read; -1 when it is gone.
int32_t IndexOfSameReminder(const Komunikaty& list, const Komunikat& k);

class AppState {
public:
    explicit AppState(const AppEnvironment& env);
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    // ---- program-wide values
    Settings settings;
    EngineState engineState; // DataAkt, PassTime, CurrentReminderIndex
    Komunikaty list;         // the reminder list with SelectedIndex
    bool DataChanged = false;

    // ---- the desktop's services
    const Clock& clock;
    const RegionalFormats& formats;
    ScreenSaver& screenSaver;

    // ---- store and engine on the values above
    DiagnosticLog log;
    Scrambler scrambler;
    MessagesRelay messages;   // the message box, once it exists
    PresenterRelay presenter; // the reminder window, once it exists
    SettingsFile settingsFile;
    DataFile dataFile;
    Engine engine;
    CalendarExamination calendar;
    ProgramTimers* timers = nullptr; // the main window's, once it exists

    // ---- edits that keep the reminder window's index on its reminder
    // Deletes the reminder at SelectedIndex (the store's DeleteReminder). The
    // reminder window forgets a reminder that is deleted; one after it moves
    // down by one.
    void DeleteSelected();
    // Reloads the data file into the list (the store's LoadDataFile) and
    // answers its result. The reminder window forgets its reminder.
    int ReloadDataFile();
    // True when the reminder window's index names a reminder of the list.
    bool CurrentReminderValid() const;

    // ---- windows that show the list without editing it
    // `follow` runs after every read of the data file into the list (another
    // writer, an import), every write of it and every deletion, so that such
    // a window shows what the list holds. It may run before the reader has
    // finished with the list (a damaged file is emptied, the day prepared
    // after the read): a follower redraws once the event loop comes back.
    void FollowList(std::function<void()> follow) { followers_.push_back(std::move(follow)); }

    // ---- writing the data file
    // Every write goes through one check. Another program may have replaced
    // or rewritten the file since this one last read or wrote it: that
    // version, never read here, is kept beside the file as
    // Dane.dat.inna-wersja-<date>-<time> before the rename that replaces it,
    // and the message box names it once the write is done; when it cannot
    // be kept, nothing is written.
    // Writes the whole list (the store's SaveDataFile, which reports a
    // failure itself).
    bool SaveList();
    // A change that the reminder window makes to the reminder at `index`:
    // made in the list, and written as the only change to what the file
    // holds, so that edits still pending in the list window stay pending
    // (and "✖ → Nie" can still drop them). A reminder the file does not hold
    // yet keeps the change in the list, to be written with the list.
    bool SaveReminderChange(int32_t index, const std::function<void(Komunikat&)>& change);
    // The file is no longer the version last read or written here (and is
    // there at all).
    bool FileChangedElsewhere() const;

private:
    void ListChanged();
    void FileHoldsTheList();
    bool WriteFile(const Komunikaty& what);

    Komunikaty stored_;              // what the file holds, as last read or written
    std::vector<int32_t> storedAt_;  // each reminder's place in stored_; -1 or past the end: not there
    FileStamp fileStamp_;            // the file as last read or written here (the link's target)
    std::vector<std::function<void()>> followers_;
};

} // namespace remindo
