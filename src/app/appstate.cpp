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
    : clock(env.clock), formats(env.formats), screenSaver(env.screenSaver),
      log(engineState.DataAkt, engineState.PassTime, env.formats),
      settingsFile(env.paths, scrambler, &log),
      dataFile(env.paths.dataFile, messages, env.formats, scrambler),
      engine(engineState, list, settings, log, env.formats, env.clock, env.screenSaver, presenter),
      calendar(list, settings, log, env.formats)
{
}

void AppState::DeleteSelected()
{
    const int32_t deleted = list.SelectedIndex;
    if (deleted < 0 || deleted >= list.ReminderCount())
        return;
    list.DeleteReminder();
    int32_t& current = engineState.CurrentReminderIndex;
    if (current == deleted)
        current = -1;
    else if (current > deleted)
        --current;
}

int AppState::ReloadDataFile()
{
    engineState.CurrentReminderIndex = -1;
    return dataFile.LoadDataFile(list);
}

bool AppState::CurrentReminderValid() const
{
    const int32_t i = engineState.CurrentReminderIndex;
    return i >= 0 && i < list.ReminderCount();
}

} // namespace remindo
