#pragma once
// One sync of the reminder list with a CalDAV calendar. The network part
// works on a snapshot (a copy of the list and of the state) and may run on a
// thread of its own; its result holds the local changes as ops that
// ApplyOps (plan.h) checks against the list as it stands when they are
// applied, and the state to write after the data file.
//
// Nothing is lost whatever breaks off a sync: the state written while it
// runs remembers only what both sides already hold, and a later sync pairs
// whatever is left over (an event written just before a crash is found
// again by its UID or its form and adopted, not duplicated).

#include "caldav/client.h"
#include "ical/icsevent.h"
#include "sync/plan.h"
#include "sync/state.h"

#include <functional>
#include <string>
#include <vector>

namespace remindo::sync {

struct SyncResult {
    bool ok = false;
    std::string error;          // one line when not ok
    caldav::Status failure;     // what broke it off, when not ok
    std::vector<LocalOp> ops;   // the local half, for ApplyOps
    SyncState state;            // to write once the ops are in the data file
    int sent = 0;               // events written or deleted on the server
    int received = 0;           // local changes from the server
    int bothKept = 0;           // edited on both sides, both kept
    int notHeld = 0;            // events Remindo cannot hold, named now
    size_t requests = 0;
    std::vector<std::string> lines; // one for each item worth naming
    // The state that matches the data file as it was at the start: to write
    // instead of `state` when the ops cannot be saved.
    SyncState unapplied;
};

// One line for a failure, in words a user can act on.
std::string Explained(const caldav::Status& status);

class Syncer {
public:
    // `checkpoint` is handed a state safe to write as it is (with the data
    // file as it was at the start) every `every` writes on the server and
    // when the sync breaks off.
    Syncer(caldav::Client& client, IcsCodec& codec, Date today,
           std::function<void(const SyncState&)> checkpoint = {}, int every = 50);

    // `account` names the server, user and calendar; a state of another
    // account or calendar counts as none (a first sync, which pairs rather
    // than deletes).
    SyncResult Run(const std::vector<Komunikat>& list, const SyncState& state, const std::string& account,
                   const std::string& calendar);

private:
    struct Pass;
    caldav::Client& client_;
    IcsCodec& codec_;
    Date today_;
    std::function<void(const SyncState&)> checkpoint_;
    int every_;
};

} // namespace remindo::sync
