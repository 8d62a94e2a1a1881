#include "app/appstate.h"

#include "store/atomicfile.h"

#include <algorithm>
#include <filesystem>
#include <numeric>

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

int32_t IndexOfSameReminder(const Komunikaty& list, const Komunikat& k)
{
    for (int32_t i = 0; i < list.ReminderCount(); ++i) {
        const Komunikat& o = list.items[size_t(i)];
        if (o.Tresc == k.Tresc && o.Data == k.Data && o.CoIle == k.CoIle && o.IlePrzed == k.IlePrzed &&
            o.CzyPo == k.CzyPo && o.Ile == k.Ile)
            return i;
    }
    return -1;
}

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
    if (deleted < int32_t(storedAt_.size()))
        storedAt_.erase(storedAt_.begin() + deleted);
    int32_t& current = engineState.CurrentReminderIndex;
    if (current == deleted)
        current = -1;
    else if (current > deleted)
        --current;
    ListChanged();
}

void AppState::ListChanged()
{
    for (const auto& follow : followers_)
        follow();
}

int AppState::ReloadDataFile()
{
    engineState.CurrentReminderIndex = -1;
    // Taken before the read: a file replaced during it then counts as
    // unread, which errs on the side of keeping it.
    fileStamp_ = StampOf(dataFile.Target());
    const int result = dataFile.LoadDataFile(list);
    if (result == kLoaded) {
        FileHoldsTheList();
    } else {
        // A damaged or missing file holds nothing a change could be made to.
        stored_.items.clear();
        storedAt_.clear();
    }
    ListChanged();
    return result;
}

void AppState::FileHoldsTheList()
{
    stored_.items = list.items;
    storedAt_.resize(list.items.size());
    std::iota(storedAt_.begin(), storedAt_.end(), 0);
}

bool AppState::SaveList()
{
    if (!WriteFile(list))
        return false;
    FileHoldsTheList();
    ListChanged();
    return true;
}

bool AppState::SaveReminderChange(int32_t index, const std::function<void(Komunikat&)>& change)
{
    if (index < 0 || index >= list.ReminderCount())
        return false;
    change(list[index]);
    ListChanged(); // in the list whether or not the file takes it
    if (!DataChanged)
        return SaveList();
    const int32_t at = index < int32_t(storedAt_.size()) ? storedAt_[size_t(index)] : -1;
    if (at < 0)
        return true;
    const Komunikat before = stored_[at];
    change(stored_[at]);
    if (WriteFile(stored_))
        return true;
    stored_[at] = before; // the file still holds it as it was
    return false;
}

bool AppState::FileChangedElsewhere() const
{
    const FileStamp now = StampOf(dataFile.Target());
    return now.exists && now != fileStamp_;
}

bool AppState::WriteFile(const Komunikaty& what)
{
    // The write itself looks at the file right before its rename and keeps
    // aside whatever version stands there that was not read here; the box
    // comes only afterwards, so that nothing waits between the look and the
    // rename.
    ReplaceCheck check{fileStamp_, ".inna-wersja-", {}, false};
    const bool saved = dataFile.SaveDataFile(what, check);
    if (saved)
        fileStamp_ = dataFile.Written();
    if (check.refused) {
        messages.ShowWarning(kInformationBox, kIconAttention,
                             "Plik danych zmienił w międzyczasie inny program, a jego wersji nie udało się "
                             "zachować (" + dataFile.LastError() + ").\rNie zapisano zmian.");
        return false;
    }
    if (!check.kept.empty()) {
        std::string names;
        for (const std::string& copy : check.kept)
            names += (names.empty() ? "" : "\r") + std::filesystem::path(copy).filename().string();
        messages.ShowWarning(kInformationBox, kIconInfo,
                             "Plik danych zmienił w międzyczasie inny program.\rTamtą wersję zachowano obok "
                             "jako:\r" + names);
    }
    return saved;
}

bool AppState::CurrentReminderValid() const
{
    const int32_t i = engineState.CurrentReminderIndex;
    return i >= 0 && i < list.ReminderCount();
}

} // namespace remindo
