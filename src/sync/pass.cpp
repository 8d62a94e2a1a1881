#include "sync/pass.h"

namespace remindo::sync {

SyncState ReadStateFor(const std::string& statePath, std::string& note)
{
    SyncState state;
    std::string why;
    if (ReadState(statePath, state, &why) == StateRead::Damaged) {
        note = "the sync state " + statePath + " could not be read (" + why +
               "): this sync pairs the list and the calendar anew";
        state = SyncState();
    }
    return state;
}

caldav::Reply<std::string> FindCalendar(caldav::Client& client, const SyncAccount& account,
                                        const SyncState& state, bool rediscover)
{
    caldav::Reply<std::string> out;
    if (!rediscover && state.account == account.Key() && !state.calendar.empty()) {
        out.value = state.calendar;
        return out;
    }
    const auto found = client.Discover(account.server);
    if (!found.ok()) {
        out.status = found.status;
        return out;
    }
    const auto cal = client.UseCalendar(found.value, account.calendar);
    out.status = cal.status;
    if (cal.ok())
        out.value = cal.value.url;
    return out;
}

SyncResult RunPass(caldav::Client& client, IcsCodec& codec, Date today, const SyncAccount& account,
                   const std::string& calendar, const std::vector<Komunikat>& snapshot, const SyncState& state,
                   const std::string& statePath, std::string& stateError)
{
    const auto keep = [&](const SyncState& s) {
        std::string why;
        if (!WriteState(statePath, s, &why))
            stateError = statePath + ": cannot be written: " + why;
    };
    Syncer syncer(client, codec, today, keep);
    return syncer.Run(snapshot, state, account.Key(), calendar);
}

Finished FinishPass(SyncResult& r, const std::string& statePath, const ListEdit& edit, std::string* why)
{
    // Without ops the list stays as it is; ApplyOps still sets each entry's
    // place from it.
    const bool save = !r.ops.empty();
    const bool saved = edit([&](std::vector<Komunikat>& list) { ApplyOps(list, r.ops, r.state); }, save);
    if (!saved) {
        WriteState(statePath, r.unapplied);
        return Finished::SaveFailed;
    }
    std::string stateWhy;
    if (!WriteState(statePath, r.state, &stateWhy)) {
        if (why)
            *why = statePath + ": cannot be written: " + stateWhy + " (the next sync pairs the list anew)";
        return Finished::StateFailed;
    }
    return Finished::Done;
}

std::string Summary(const SyncResult& r)
{
    return "synced: " + std::to_string(r.sent) + " sent, " + std::to_string(r.received) + " received, " +
           std::to_string(r.bothKept) + " edited on both sides and kept twice, " + std::to_string(r.notHeld) +
           " not held, " + std::to_string(r.requests) + " requests";
}

} // namespace remindo::sync
