#include "app/editsession.h"

#include "store/atomicfile.h"
#include "store/codec.h"

#include <algorithm>
#include <filesystem>
#include <numeric>

namespace remindo {

namespace {

// The reminder the user knows as `k` (same text, date and rule) in `list`
// after another program's version was read; -1 when it is gone.
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

} // namespace

EditSession::EditSession(Komunikaty& list, EngineState& engineState, Engine& engine, DataFile& dataFile,
                         DiagnosticLog& log, const Settings& settings, Messages& messages)
    : list_(list), engineState_(engineState), engine_(engine), dataFile_(dataFile), log_(log),
      settings_(settings), messages_(messages)
{
}

// ------------------------------------------------------------ the edits

void EditSession::AddReminder(std::string tresc, Date data, int32_t coIle, int32_t ilePrzed, int32_t czyPo,
                              int32_t blok, int32_t ile)
{
    list_.AddReminder(std::move(tresc), data, coIle, ilePrzed, czyPo, blok, ile, engineState_.DataAkt);
    dataChanged_ = true;
}

void EditSession::UpdateReminder(std::string tresc, Date data, int32_t coIle, int32_t ilePrzed, int32_t czyPo,
                                 int32_t blok, int32_t ile)
{
    list_.UpdateReminder(std::move(tresc), data, coIle, ilePrzed, czyPo, blok, ile);
    dataChanged_ = true;
}

void EditSession::DeleteSelected()
{
    const int32_t deleted = list_.SelectedIndex;
    if (deleted < 0 || deleted >= list_.ReminderCount())
        return;
    list_.DeleteReminder();
    if (deleted < int32_t(storedAt_.size()))
        storedAt_.erase(storedAt_.begin() + deleted);
    int32_t& current = engineState_.CurrentReminderIndex;
    if (current == deleted)
        current = -1;
    else if (current > deleted)
        --current;
    // A deletion waits for the save like any other change, so that cancel
    // can still bring the reminder back from the file.
    dataChanged_ = true;
    ListChanged();
}

// ------------------------------------------------------------ save and cancel

bool EditSession::Save()
{
    if (!SaveList())
        return false; // the store has said why; the changes stay pending
    if (settings_.LogDetail > 2)
        log_.WriteLog(Cp("Zapisano wprowadzone dane"));
    engine_.PreparationPass();
    dataChanged_ = false;
    return true;
}

bool EditSession::Cancel(int answer)
{
    if (!dataChanged_)
        return true;
    if (answer == kAnswerTak ? !SaveList() : answer != kAnswerNie)
        return false; // Anuluj, or a save that failed
    dataChanged_ = false;
    ReloadDataFile();
    list_.RefreshView();
    if (answer == kAnswerTak)
        engine_.PreparationPass(); // saved here as by the save button: what is due today is marked
    return true;
}

// ------------------------------------------------------------ reading the file

int EditSession::Load()
{
    const bool detail = settings_.LogDetail > 0;
    log_.WriteLog(Cp("Rozpoczęto wczytywanie danych"));
    const int result = ReloadDataFile();
    if (result == kLoaded && list_.ReminderCount() > 0) {
        if (detail)
            log_.WriteLog(Cp("Wczytano ") + std::to_string(list_.ReminderCount()) + Cp(" zdarzeń"));
        engine_.PreparationPass();
    } else if (result == kDamagedHeader || result == kDamagedReminder) {
        list_.items.clear();
        log_.WriteLog("Plik jest uszkodzony");
        if (detail)
            log_.WriteLog("Plik uszkodzony");
    } else if (result == kMissing) {
        list_.items.clear();
        SaveList();
        if (detail)
            log_.WriteLog("Brak pliku - utworzono nowy");
        log_.WriteLog("Utworzono nowy plik");
    }
    list_.RefreshView();
    return result;
}

ReloadAnswer EditSession::OtherVersion() const
{
    if (!FileChangedElsewhere())
        return ReloadAnswer::Unchanged;
    return dataChanged_ ? ReloadAnswer::Pending : ReloadAnswer::Reloaded;
}

bool EditSession::ReadsWhole()
{
    Komunikaty trial;
    const int result = dataFile_.ReadDataFile(trial);
    return result != kDamagedHeader && result != kDamagedReminder;
}

void EditSession::ReadOtherVersion()
{
    if (!FileExists(dataFile_.Path()))
        return;
    Load();
    log_.FlushLog();
}

int EditSession::ReloadDataFile()
{
    engineState_.CurrentReminderIndex = -1;
    // Taken before the read: a file replaced during it then counts as
    // unread, which errs on the side of keeping it.
    fileStamp_ = StampOf(dataFile_.Target());
    const int result = dataFile_.LoadDataFile(list_);
    if (result == kLoaded) {
        FileHoldsTheList();
    } else {
        // A damaged or missing file holds nothing a change could be made to.
        stored_.items.clear();
        storedAt_.clear();
    }
    ListChanged();
    FileFollowers();
    return result;
}

// ------------------------------------------------------------ the reminder window

bool EditSession::CurrentReminderValid() const
{
    const int32_t i = engineState_.CurrentReminderIndex;
    return i >= 0 && i < list_.ReminderCount();
}

bool EditSession::FindShownReminder()
{
    // The reminder shown may have been deleted, or the list reloaded, since:
    // then the window only goes away and nothing is written.
    if (!CurrentReminderValid())
        return false;
    if (!dataChanged_ && FileChangedElsewhere()) {
        // Another program's version first, then this reminder if it is still there.
        const Komunikat shown = list_[engineState_.CurrentReminderIndex];
        Load();
        engineState_.CurrentReminderIndex = IndexOfSameReminder(list_, shown);
        return CurrentReminderValid();
    }
    return true;
}

void EditSession::AnswerReminder(ReminderAnswer answer)
{
    if (!FindShownReminder())
        return;
    const int32_t i = engineState_.CurrentReminderIndex;
    if (settings_.LogMode == 1 && settings_.LogDetail > 0) {
        static const char* const kWhat[] = {" - pokaz później", " został zablokowany dziś", " został zablokowany"};
        log_.WriteLog(Cp("Komunikat nr ") + std::to_string(i + 1) + Cp(kWhat[int(answer)]));
        log_.FlushLog();
    }
    if (answer == ReminderAnswer::Later) {
        // "Later" gives the showing back: it does not use up one of the day's
        // times, and the reminder comes again once the showing gap has passed.
        list_[i].ShownToday = std::max(0, list_[i].ShownToday - 1);
    } else if (answer == ReminderAnswer::NotToday) {
        SaveReminderChange(i, [today = engineState_.DataAkt](Komunikat& k) {
            k.BlokDzis = 1;
            k.BlokDzisData = today;
        });
    } else {
        SaveReminderChange(i, [](Komunikat& k) { k.Blok = 1; });
    }
}

// ------------------------------------------------------------ writing the file

void EditSession::ListChanged()
{
    for (const auto& follow : followers_)
        follow();
}

void EditSession::FileFollowers()
{
    // A follower may read or write the file in turn: a copy of the list.
    const auto followers = fileFollowers_;
    for (const auto& follow : followers)
        follow();
}

bool EditSession::SaveChange(const std::function<void(std::vector<Komunikat>&)>& change, bool save)
{
    if (dataChanged_)
        return false;
    if (save && FileChangedElsewhere())
        Load();
    const std::vector<Komunikat> before = list_.items;
    const bool shown = CurrentReminderValid();
    const Komunikat shownReminder = shown ? list_[engineState_.CurrentReminderIndex] : Komunikat();
    change(list_.items);
    if (!save)
        return true;
    if (!SaveList()) {
        list_.items = before;
        ListChanged();
        return false;
    }
    engineState_.CurrentReminderIndex = shown ? IndexOfSameReminder(list_, shownReminder) : -1;
    engine_.PreparationPass();
    list_.RefreshView();
    return true;
}

void EditSession::FileHoldsTheList()
{
    stored_.items = list_.items;
    storedAt_.resize(list_.items.size());
    std::iota(storedAt_.begin(), storedAt_.end(), 0);
}

bool EditSession::SaveList()
{
    if (!WriteFile(list_))
        return false;
    FileHoldsTheList();
    ListChanged();
    FileFollowers();
    return true;
}

bool EditSession::SaveReminderChange(int32_t index, const std::function<void(Komunikat&)>& change)
{
    if (index < 0 || index >= list_.ReminderCount())
        return false;
    change(list_[index]);
    ListChanged(); // in the list whether or not the file takes it
    if (!dataChanged_)
        return SaveList();
    const int32_t at = index < int32_t(storedAt_.size()) ? storedAt_[size_t(index)] : -1;
    if (at < 0)
        return true;
    const Komunikat before = stored_[at];
    change(stored_[at]);
    if (WriteFile(stored_)) {
        FileFollowers();
        return true;
    }
    stored_[at] = before; // the file still holds it as it was
    return false;
}

bool EditSession::FileChangedElsewhere() const
{
    const FileStamp now = StampOf(dataFile_.Target());
    return now.exists && now != fileStamp_;
}

bool EditSession::WriteFile(const Komunikaty& what)
{
    // The write itself looks at the file right before its rename and keeps
    // aside whatever version stands there that was not read here; the box
    // comes only afterwards, so that nothing waits between the look and the
    // rename.
    ReplaceCheck check{fileStamp_, ".inna-wersja-", {}, false};
    const bool saved = dataFile_.SaveDataFile(what, check);
    if (saved)
        fileStamp_ = dataFile_.Written();
    if (check.refused) {
        messages_.ShowWarning(kInformationBox, kIconAttention,
                              "Plik danych zmienił w międzyczasie inny program, a jego wersji nie udało się "
                              "zachować (" + dataFile_.LastError() + ").\rNie zapisano zmian.");
        return false;
    }
    if (!check.kept.empty()) {
        std::string names;
        for (const std::string& copy : check.kept)
            names += (names.empty() ? "" : "\r") + std::filesystem::path(copy).filename().string();
        messages_.ShowWarning(kInformationBox, kIconInfo,
                              "Plik danych zmienił w międzyczasie inny program.\rTamtą wersję zachowano obok "
                              "jako:\r" + names);
    }
    return saved;
}

} // namespace remindo
