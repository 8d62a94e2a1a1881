#pragma once
// The program around the reminder window: its start-up (FormCreate), the
// three timers that drive it (the start timer loads the data file, the
// examination timer runs the examination pass, the auto-hide timer slides an
// unanswered reminder away), and what the tray menu and the session bus ask
// for, by the one list of actions (shell/actions.h).

#include "app/appstate.h"
#include "shell/actions.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <string_view>
#include <vector>

class QWidget;

namespace remindo {

class Desktop;
class TFGlowny;

// A window the actions open: the widget `NoWindowOpen` looks at and its
// open sequence. An action finds its window by the object name.
struct MenuWindow {
    QWidget* widget = nullptr;
    std::function<void()> open;
};

class Program final : public QObject, public ReminderPresenter, public ProgramTimers {
    Q_OBJECT
public:
    static constexpr int kStartDelayMs = 500;

    // Runs FormCreate: settings, intervals, the emptied list, today, the log
    // folder, and the start timer. Installs itself as the state's presenter
    // and timers.
    Program(AppState& state, TFGlowny& glowny, Desktop& desktop);
    ~Program() override;

    // ---- the reminder window as the engine sees it
    void ShowReminderWindow(int32_t kind, const std::string& cp1250Text) override;
    void StartAutoHideTimer() override;
    bool ReminderStanding() const override;
    // The blue panel on a desktop without a notification area; it goes by
    // itself after the auto-hide time, as a reminder does.
    void ShowNoTrayPanel();

    // ---- the timers
    void SetIntervals(int examinationMs, int autoHideMs) override;
    QTimer& Timerek() { return timerek_; }
    QTimer& TBadawczy() { return badawczy_; }
    QTimer& TAutomatycznieUkryj() { return ukryj_; }
    void TimerekTimer();
    void TBadawczyTimer();
    void TAutomatycznieUkryjTimer();

    // ---- the tray menu and the actions
    void SetWindows(std::vector<MenuWindow> windows) { windows_ = std::move(windows); }
    // Asked before `&Zakończ` ends the program; false keeps it running.
    void SetBeforeEnd(std::function<bool()> ask) { beforeEnd_ = std::move(ask); }
    // How the program ends (every event loop is left); tests record it instead.
    void SetEndProgram(std::function<void()> end) { endProgram_ = std::move(end); }
    // What an action that syncs starts.
    void SetSyncNow(std::function<void()> syncNow) { syncNow_ = std::move(syncNow); }
    bool NoWindowOpen() const;
    void CoolTrayClick();
    // A menu item: a window opens only while `NoWindowOpen`.
    void MenuClick(const Action& action);
    void CloseAppClick();
    // An action by its name, asked from outside, where the user cannot see
    // why nothing would happen, so it always reaches the user: the window
    // asked for opens (the blue panel, which only tells, gives way to it),
    // or the window that stands in the way comes forward. False for a name
    // that is no action's.
    bool ActivateAction(std::string_view name);
    // What the window of action `name` cannot open past: the question or
    // editor in front, another open window of the actions', a standing
    // reminder; null when nothing stands in the way (the blue panel gives
    // way, and the window asked for may be open already).
    QWidget* WindowInTheWay(std::string_view name) const;

signals:
    // The start timer's load is done: the list is what the file holds.
    void dataLoaded();

private:
    void FormCreate();
    const MenuWindow* WindowOf(const Action& action) const;

    AppState& state_;
    TFGlowny& glowny_;
    Desktop& desktop_;
    std::vector<MenuWindow> windows_;
    std::function<bool()> beforeEnd_;
    std::function<void()> endProgram_;
    std::function<void()> syncNow_;

    QTimer timerek_;
    QTimer badawczy_;
    QTimer ukryj_;
    bool countdownOfReminder_ = false; // the auto-hide countdown was started for a reminder
};

} // namespace remindo
