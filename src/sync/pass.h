#pragma once
// One sync from end to end, as the command and the program both run it: the
// state read, the calendar found, the pass over the network (on a snapshot,
// on any thread), then, where the list lives, the ops applied to the list as
// it stands, the list saved and the state written after it.

#include "caldav/client.h"
#include "ical/icsevent.h"
#include "sync/account.h"
#include "sync/syncer.h"

#include <functional>
#include <string>
#include <vector>

namespace remindo::sync {

// The state beside the data file; a damaged one counts as none (the next
// sync pairs the list and the calendar anew) and `note` says so.
SyncState ReadStateFor(const std::string& statePath, std::string& note);

// The calendar's address: the state's when it belongs to this account and
// `rediscover` is off, else found on the server (and made when missing).
caldav::Reply<std::string> FindCalendar(caldav::Client& client, const SyncAccount& account,
                                        const SyncState& state, bool rediscover);

// The network half on a snapshot of the list. The state file gets the
// pass's checkpoints; `stateError` names one that could not be written.
SyncResult RunPass(caldav::Client& client, IcsCodec& codec, Date today, const SyncAccount& account,
                   const std::string& calendar, const std::vector<Komunikat>& snapshot, const SyncState& state,
                   const std::string& statePath, std::string& stateError);

// The local half, where the list lives. `edit` runs `change` on the list as
// it stands and, when `save`, writes the list, answering false when the
// write failed (the list then left as it was). With ops the list is saved
// and the result's state written; a failed save writes `unapplied` instead,
// so that the next sync brings the changes again. Answers how it ended.
enum class Finished { Done, SaveFailed, StateFailed };
using ListEdit = std::function<bool(const std::function<void(std::vector<Komunikat>&)>& change, bool save)>;
Finished FinishPass(SyncResult& result, const std::string& statePath, const ListEdit& edit,
                    std::string* why = nullptr);

// "synced: 2 sent, 1 received, ..." as the command prints it.
std::string Summary(const SyncResult& result);

} // namespace remindo::sync
