#include "app/appstate.h"

#include <algorithm>

namespace remindo {

int32_t EffectiveBadajCo(const Settings& s)
{
    return s.BadajCo <= 0 ? Settings{}.BadajCo : std::min(s.BadajCo, kMaxBadajCo);
}

int32_t EffectiveUkryjPo(const Settings& s)
{
    return s.UkryjPo <= 0 ? Settings{}.UkryjPo : std::min(s.UkryjPo, kMaxUkryjPo);
}

int ExaminationIntervalMs(const Settings& s) { return EffectiveBadajCo(s) * 60000; }
int AutoHideIntervalMs(const Settings& s) { return EffectiveUkryjPo(s) * 1000; }

AppState::AppState(const AppEnvironment& env)
    : clock_(env.clock), formats_(env.formats), log_(engineState_.DataAkt, engineState_.PassTime, env.formats),
      settingsFile_(env.paths, scrambler_, &log_),
      dataFile_(env.paths.dataFile, messages_, env.formats, scrambler_),
      engine_(engineState_, list_, settings_, log_, env.formats, env.clock, env.screenSaver, presenter_),
      calendar_(list_, settings_, log_, env.formats),
      session_(list_, engineState_, engine_, dataFile_, log_, settings_, messages_)
{
}

void AppState::SetProgram(ReminderPresenter* presenter, ProgramTimers* timers)
{
    presenter_.SetTarget(presenter);
    timers_ = timers;
}

void AppState::Start(const std::function<std::string()>& logFolder)
{
    settingsFile_.PrepareSettings(settings_);
    log_.SetMode(settings_.LogMode);
    engine_.Start(); // PassTime and DataAkt
    if (settings_.LogMode == 1 || settings_.LogMode == 2)
        log_.SetFolder(logFolder());
}

bool AppState::SetSettings(const Settings& s)
{
    settings_ = s;
    if (timers_)
        timers_->SetIntervals(ExaminationIntervalMs(s), AutoHideIntervalMs(s));
    return settingsFile_.WriteSettings(s);
}

const std::array<Zdarzenie, 7>& AppState::ExamineWeek(Date date)
{
    calendar_.ExamineWeek(date);
    return calendar_.Tydzien;
}

} // namespace remindo
