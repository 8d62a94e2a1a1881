#include "shell/program.h"

#include "platform/core/apppaths.h"
#include "platform/gui/desktop.h"
#include "store/codec.h"
#include "windows/glowny.h"

#include <QApplication>

namespace remindo {

Program::Program(AppState& state, TFGlowny& glowny, Desktop& desktop)
    : state_(state), glowny_(glowny), desktop_(desktop)
{
    timerek_.setSingleShot(true);
    timerek_.setInterval(kStartDelayMs);
    connect(&timerek_, &QTimer::timeout, this, &Program::TimerekTimer);
    connect(&badawczy_, &QTimer::timeout, this, &Program::TBadawczyTimer);
    connect(&ukryj_, &QTimer::timeout, this, &Program::TAutomatycznieUkryjTimer);
    // Minutes and seconds apart: nothing gains from the precise timer's wake-ups.
    badawczy_.setTimerType(Qt::CoarseTimer);
    ukryj_.setTimerType(Qt::CoarseTimer);
    connect(&glowny_, &TFGlowny::hiding, &ukryj_, &QTimer::stop);

    // Every event loop ends, the modal ones too; quit() would first ask each
    // window to close, and an open dialog would refuse.
    endProgram_ = [] { QCoreApplication::exit(0); };
    FormCreate();
}

Program::~Program()
{
    state_.SetProgram(nullptr, nullptr);
}

void Program::FormCreate()
{
    state_.Start(
        [] { return DiagnosticLog::PrepareLogFolder(ProgramFolder(), InstalledProgramFolder(), StateFolder()); });
    SetIntervals(ExaminationIntervalMs(state_.settings()), AutoHideIntervalMs(state_.settings()));
    state_.SetProgram(this, this);
    // Also with LogMode 2: the list is loaded, so that a save from the list
    // window can never replace the stored reminders with an empty list.
    timerek_.start();
}

// ------------------------------------------------------------ the reminder window

void Program::ShowReminderWindow(int32_t kind, const std::string& cp1250Text)
{
    glowny_.ShowReminderWindow(kind, cp1250Text);
}

void Program::StartAutoHideTimer()
{
    // Each reminder stands for the whole time, also one that took the place
    // of the blue panel while an earlier countdown still ran.
    ukryj_.start();
    countdownOfReminder_ = true;
}

bool Program::ReminderStanding() const
{
    return glowny_.ReminderStanding();
}

void Program::ShowNoTrayPanel()
{
    glowny_.ShowReminderWindow(TFGlowny::kBlue, std::string(), true);
    // Nobody asked for it, and without an icon nothing else would take it down.
    ukryj_.start();
    countdownOfReminder_ = false;
}

// ------------------------------------------------------------ the timers

void Program::SetIntervals(int examinationMs, int autoHideMs)
{
    // setInterval restarts a running timer; one whose interval stays the
    // same keeps counting.
    if (badawczy_.interval() != examinationMs)
        badawczy_.setInterval(examinationMs);
    if (ukryj_.interval() != autoHideMs)
        ukryj_.setInterval(autoHideMs);
}

void Program::TimerekTimer()
{
    timerek_.stop();
    state_.session().Load();
    DiagnosticLog& log = state_.log();
    if (state_.settings().LogMode == 2) {
        // The test mode examines nothing; the list is there for the list window.
        log.FlushLog();
        emit dataLoaded();
        return;
    }
    if (state_.settings().LogDetail > 0) {
        log.WriteLog("Uruchomiono timer badawczy");
        log.WriteLog("Badawczy interval: " + std::to_string(badawczy_.interval()));
    }
    log.FlushLog();
    badawczy_.start();
    emit dataLoaded();
}

void Program::TBadawczyTimer()
{
    badawczy_.stop();
    state_.ExaminationPass();
    badawczy_.start();
}

void Program::TAutomatycznieUkryjTimer()
{
    ukryj_.stop();
    if (!glowny_.isVisible())
        return;
    glowny_.HideReminderWindow();
    // The panel without a tray has a countdown of its own, and no reminder to name.
    if (countdownOfReminder_ && state_.settings().LogDetail > 0) {
        state_.log().WriteLog(Cp("Komunikat nr ") + std::to_string(state_.engineState().CurrentReminderIndex + 1) +
                              Cp(" nie został zablokowany"));
        state_.log().FlushLog();
    }
}

// ------------------------------------------------------------ the tray menu

const MenuWindow* Program::WindowOf(const Action& action) const
{
    for (const MenuWindow& w : windows_)
        if (!action.window.empty() && w.widget &&
            w.widget->objectName() == QLatin1String(action.window.data(), action.window.size()))
            return &w;
    return nullptr;
}

bool Program::NoWindowOpen() const
{
    if (glowny_.isVisible())
        return false;
    for (const Action& a : Actions())
        if (const MenuWindow* w = WindowOf(a); w && w->widget->isVisible())
            return false;
    return true;
}

void Program::CoolTrayClick()
{
    glowny_.ShowReminderWindow(TFGlowny::kBlue, std::string());
    if (state_.settings().LogDetail > 3)
        state_.log().WriteLog("Pokazano okno niebieskie");
}

void Program::MenuClick(const Action& action)
{
    if (action.syncs && syncNow_)
        syncNow_();
    if (action.does == Does::OpenHelp)
        glowny_.OpenHelpPage();
    else if (action.does == Does::End)
        CloseAppClick();
    else if (const MenuWindow* w = WindowOf(action); w && NoWindowOpen())
        w->open();
}

void Program::CloseAppClick()
{
    // One click ends the program, whatever windows stand open; edits that
    // wait in the list window get its question first, whose Anuluj keeps
    // the program running.
    if (beforeEnd_ && !beforeEnd_())
        return;
    if (endProgram_)
        endProgram_();
}

bool Program::ActivateAction(std::string_view name)
{
    const Action* action = FindAction(name);
    if (action && action->syncs && syncNow_)
        syncNow_();
    if (action && action->does != Does::OpenWindow) {
        MenuClick(*action);
    } else if (QWidget* inTheWay = action ? WindowInTheWay(name) : nullptr) {
        desktop_.BringToFront(*inTheWay);
    } else if (const MenuWindow* w = action ? WindowOf(*action) : nullptr) {
        // Not the menu's NoWindowOpen: the blue panel gives way.
        if (glowny_.isVisible() && glowny_.Kind() == TFGlowny::kBlue)
            glowny_.HideReminderWindow();
        if (w->widget->isVisible())
            desktop_.BringToFront(*w->widget); // open already: it comes forward
        else
            w->open();
    }
    return action != nullptr;
}

QWidget* Program::WindowInTheWay(std::string_view name) const
{
    // A modal box or editor stands in front of its window: that one first.
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    const Action* asked = FindAction(name);
    for (const Action& a : Actions())
        if (const MenuWindow* w = WindowOf(a); w && w->widget->isVisible())
            return &a == asked ? nullptr : w->widget;
    // A reminder waits for its answer; the blue panel only tells.
    if (glowny_.ReminderStanding())
        return &glowny_;
    return nullptr;
}

} // namespace remindo
