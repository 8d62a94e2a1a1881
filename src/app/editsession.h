#pragma once
// The reminder list against the data file: the edits of the list window and
// the editor, whether they wait to be saved (`DataChanged`), their save and
// cancel, the reads of the file (at the start and after another program
// wrote it) and the reminder window's answers. The windows call one function
// and show its answer; the shell only schedules. No widgets here.

#include "engine/engine.h"
#include "store/datafile.h"
#include "store/filestamp.h"
#include "store/log.h"
#include "store/messages.h"
#include "store/reminders.h"
#include "store/settings.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace remindo {

// The reminder window's buttons, in the order they stand.
enum class ReminderAnswer { Later, NotToday, Never };

class EditSession {
public:
    EditSession(Komunikaty& list, EngineState& engineState, Engine& engine, DataFile& dataFile,
                DiagnosticLog& log, const Settings& settings, Messages& messages);
    EditSession(const EditSession&) = delete;
    EditSession& operator=(const EditSession&) = delete;

    // The list holds edits of the list window's that the file does not.
    bool DataChanged() const { return dataChanged_; }

    // ---- the edits; each waits for the save
    void SetView(ReminderListView* view) { list_.SetView(view); }
    void RefreshView() { list_.RefreshView(); }
    void Select(int32_t index) { list_.SelectedIndex = index; }
    void AddReminder(std::string tresc, Date data, int32_t coIle, int32_t ilePrzed, int32_t czyPo, int32_t blok,
                     int32_t ile);
    // The reminder at SelectedIndex.
    void UpdateReminder(std::string tresc, Date data, int32_t coIle, int32_t ilePrzed, int32_t czyPo,
                        int32_t blok, int32_t ile);
    // The reminder at SelectedIndex goes. The reminder window forgets it;
    // one after it moves down by one.
    void DeleteSelected();

    // ---- the list window's ✔ and ✖; false: the window stays open
    // Writes the list and marks what is due today (a failure is told by the box).
    bool Save();
    // `answer` to "Dane zostały zmienione. Zapisać zmiany?", asked only while
    // DataChanged: Tak saves as Save does, Nie brings back the file's list
    // (deletions included), Anuluj stays.
    bool Cancel(int answer);
    // The same question before the program ends: Tak writes, Nie drops;
    // false keeps the program running.
    bool End(int answer) { return answer == kAnswerTak ? SaveList() : answer == kAnswerNie; }

    // ---- reading the file
    // The start timer's read and what follows its result: a list read is
    // prepared, a damaged file leaves the list empty and the file for the
    // user, a missing one is made with the empty list. Answers the result.
    int Load();
    // Another program's version, as a look at the file finds it: Unchanged,
    // Pending (edits wait; their save keeps that version aside), or Reloaded
    // (nothing waits: it is to be read with ReadOtherVersion).
    ReloadAnswer OtherVersion() const;
    // The file reads whole now (a writer rewriting it may have paused half way).
    bool ReadsWhole();
    // Load, for another program's version; a file that went away leaves the
    // list as it is (the next save makes it again).
    void ReadOtherVersion();
    // Reads the file into the list (the store's LoadDataFile) and answers its
    // result. The reminder window forgets its reminder.
    int ReloadDataFile();

    // ---- the reminder window
    // True when the reminder window's index names a reminder of the list.
    bool CurrentReminderValid() const;
    // A button on the reminder shown: another program's version is read
    // first (when nothing waits), and the reminder answered if it is still
    // there. A block is written as the only change to what the file holds.
    void AnswerReminder(ReminderAnswer answer);

    // ---- windows that show the list without editing it
    // `follow` runs after every read of the file into the list, every write
    // of it and every deletion. It may run before the reader has finished
    // with the list (a damaged file is emptied, the day prepared after the
    // read): a follower redraws once the event loop comes back.
    void FollowList(std::function<void()> follow) { followers_.push_back(std::move(follow)); }
    // `follow` runs after every read of the file into the list and every
    // write of it (not after edits that wait for their save).
    void FollowFile(std::function<void()> follow) { fileFollowers_.push_back(std::move(follow)); }

    // ---- the calendar's changes
    // `change` made to the list as the file holds it (another program's
    // version read first) and, when `save`, the list written through the
    // same checks as every write. Refused (false, nothing changed) while
    // the list window's edits wait. A failed write puts the list back as it
    // was. The reminder window keeps its reminder where it is still there.
    bool SaveChange(const std::function<void(std::vector<Komunikat>&)>& change, bool save);

    // ---- writing the file
    // Every write goes through one check. Another program may have replaced
    // or rewritten the file since this one last read or wrote it: that
    // version, never read here, is kept beside the file as
    // Dane.dat.inna-wersja-<date>-<time> before the rename that replaces it,
    // and the message box names it once the write is done; when it cannot
    // be kept, nothing is written.
    // Writes the whole list (the store's SaveDataFile, which reports a
    // failure itself).
    bool SaveList();
    // A change to the reminder at `index`: made in the list, and written as
    // the only change to what the file holds, so that edits still pending
    // stay pending (and "✖ → Nie" can still drop them). A reminder the file
    // does not hold yet keeps the change in the list, to be written with it.
    bool SaveReminderChange(int32_t index, const std::function<void(Komunikat&)>& change);
    // The file is no longer the version last read or written here (and is
    // there at all).
    bool FileChangedElsewhere() const;

private:
    bool FindShownReminder();
    void ListChanged();
    void FileFollowers();
    void FileHoldsTheList();
    bool WriteFile(const Komunikaty& what);

    Komunikaty& list_;
    EngineState& engineState_;
    Engine& engine_;
    DataFile& dataFile_;
    DiagnosticLog& log_;
    const Settings& settings_;
    Messages& messages_;

    bool dataChanged_ = false;
    Komunikaty stored_;             // what the file holds, as last read or written
    std::vector<int32_t> storedAt_; // each reminder's place in stored_; -1 or past the end: not there
    FileStamp fileStamp_;           // the file as last read or written here (the link's target)
    std::vector<std::function<void()>> followers_;
    std::vector<std::function<void()>> fileFollowers_;
};

} // namespace remindo
