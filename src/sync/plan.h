#pragma once
// The three-way part of a sync, without the network: which local reminder
// is which synced event (the data file has no IDs), what to do with each,
// and the local half of the outcome applied to a list that may have changed
// while the network part ran.

#include "store/reminders.h"
#include "sync/state.h"

#include <optional>
#include <string>
#include <vector>

namespace remindo::sync {

// The fields the data file keeps; the engine's working fields are left out.
bool SameForm(const Komunikat& a, const Komunikat& b);
// Only the stored fields, the rest at their defaults.
Komunikat FormOf(const Komunikat& k);

// For each local reminder, the index of its entry in `entries`, or -1 for a
// reminder added since. First whole forms that are equal; then what is left
// by place: reminders between the same matched neighbours pair with the
// entries between them, alike texts first, then alike dates and rules,
// then in order (an edit keeps its place). An entry no reminder takes was
// deleted locally.
std::vector<int> Pair(const std::vector<Komunikat>& local, const std::vector<SyncEntry>& entries);

enum class LocalSide { Same, Edited, Deleted };
enum class ServerSide { Same, Changed, Gone };

enum class Action {
    Nothing,
    Upload,          // PUT If-Match: the local edit goes up
    Recreate,        // PUT If-None-Match *: edited here, deleted there
    DeleteOnServer,  // DELETE If-Match
    TakeServer,      // the local reminder becomes the server's
    RemoveLocal,     // deleted on the server
    AddLocal,        // deleted here, edited there: the server's comes back
    KeepBoth,        // both edited: the local stays on its event, the server's comes in as a second one
    Refresh,         // the server's new ETag holds what was synced: remember the ETag
    Forget,          // deleted on both sides
};

// The decision for one synced event. `local` is set unless deleted here,
// `server` when it changed there.
Action Decide(const Komunikat& base, LocalSide localSide, const Komunikat* local, ServerSide serverSide,
              const Komunikat* server);

// One change of the local list, checked against the list it meets.
struct LocalOp {
    enum Kind { Replace, Remove, Add } kind = Add;
    int index = -1;      // in the snapshot the sync started from (Replace, Remove)
    Komunikat expected;  // the form expected there (Replace, Remove)
    Komunikat form;      // the new form (Replace, Add)
    std::string href;    // the entry it belongs to
    // The entry as it stood before the sync, restored when the op is
    // skipped; none when it had no entry before.
    std::optional<SyncEntry> before;
};

// Applies the ops to `list` (the snapshot's list or a newer one): an op
// whose expected reminder is no longer there as expected is skipped, and
// its entry goes back to what it was before, so that the next sync meets
// the change on both sides and keeps both. Then every entry's position is
// set from the list. Answers how many were skipped.
int ApplyOps(std::vector<Komunikat>& list, const std::vector<LocalOp>& ops, SyncState& state);

} // namespace remindo::sync
