#include "sync/syncer.h"

#include "caldav/url.h"
#include "ical/ics.h"
#include "store/codec.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <optional>
#include <set>
#include <tuple>

namespace remindo::sync {

using caldav::Outcome;
using caldav::Precondition;
using caldav::Status;

namespace {

// One spelling for an event's address, whatever the server's.
std::string HrefKey(const std::string& href)
{
    const std::optional<caldav::Url> u = caldav::Url::Parse(href);
    return u ? u->Key() : href;
}

// A line for the terminal: what a server or a text brings in control
// characters is shown as blanks, never obeyed.
std::string Shown(std::string line)
{
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    return line;
}

// A reminder's first line, as a result line names it.
std::string Named(const Komunikat& k)
{
    const std::string text = Utf8FromCp1250(k.Tresc);
    return "\"" + text.substr(0, text.find('+')) + "\"";
}

} // namespace

std::string Explained(const Status& s)
{
    // The client's own line names the request, the address and the answer;
    // a transport's failure alone leaves open whose it was.
    if (s.outcome == Outcome::Transport && s.transport != caldav::TransportError::TlsUntrusted)
        return "no answer from the server: " + s.message;
    return s.message;
}

namespace {

struct ServerEvent {
    std::string href, etag, uid;
    std::optional<Komunikat> form; // none: Remindo cannot hold it
    std::string why;
};

struct Broken {
    Status status;
    bool calendarGone = false;
};

} // namespace

struct Syncer::Pass {
    Syncer& s;
    const std::vector<Komunikat>& list;
    const std::string& calendar;
    SyncResult r;
    SyncState base;
    // What both sides hold: safe to write at any moment (see Checkpoint).
    std::map<std::string, SyncEntry> working;
    // What holds once the ops are in the data file; none: the entry goes.
    std::map<std::string, std::optional<SyncEntry>> pending;
    std::map<std::string, NotHeld> notHeld;
    std::set<std::string> usedUids;
    int writes = 0;

    Pass(Syncer& syncer, const std::vector<Komunikat>& l, const std::string& cal) : s(syncer), list(l), calendar(cal) {}

    SyncState Checkpoint() const
    {
        SyncState st = base;
        st.entries.clear();
        for (const auto& [key, e] : working)
            st.entries.push_back(e);
        st.notHeld.clear();
        for (const auto& [key, n] : notHeld)
            st.notHeld.push_back(n);
        return st;
    }

    void Wrote()
    {
        ++r.sent;
        if (s.checkpoint_ && ++writes % s.every_ == 0)
            s.checkpoint_(Checkpoint());
    }

    [[noreturn]] void Fail(const Status& st, bool calendarGone = false) { throw Broken{st, calendarGone}; }

    ServerEvent Read(const std::string& href, const std::string& etag, const std::string& data)
    {
        ServerEvent ev{href, etag, {}, {}, {}};
        std::vector<IcsEvent> events;
        std::string why;
        if (!s.codec_.Read(data, events, why)) {
            ev.why = href + ": " + why;
            return ev;
        }
        if (events.size() != 1 || events[0].component != "VEVENT") {
            ev.uid = events.empty() ? std::string() : events[0].uid;
            ev.why = href + ": " + std::to_string(events.size()) + " components in one event";
            return ev;
        }
        ev.uid = events[0].uid;
        if (events[0].timed) {
            // A meeting at an hour: taken as a whole day, it would go back so.
            const std::string& summary = events[0].summary;
            ev.why = "\"" + summary.substr(0, summary.find('\n')) + "\": a time of day, where Remindo keeps whole days";
            return ev;
        }
        ev.form = ReminderOf(events[0], s.today_, ev.why);
        if (ev.form)
            ev.form = FormOf(*ev.form);
        return ev;
    }

    // The event as it is now; none when it is gone.
    std::optional<ServerEvent> Refetch(const std::string& href)
    {
        const auto got = s.client_.Get(href);
        if (got.status.outcome == Outcome::Gone)
            return std::nullopt;
        if (!got.ok())
            Fail(got.status);
        return Read(href, got.value.etag, got.value.data);
    }

    std::string Text(const Komunikat& k, const std::string& uid, std::string& why)
    {
        IcsEvent e;
        if (!EventOf(k, e, why))
            return {};
        e.uid = uid;
        return s.codec_.Write({e}, int64_t(std::time(nullptr)));
    }

    // PUT of a reminder; the new ETag, or none on a 412 or 404 (the caller
    // looks again).
    std::optional<std::string> Put(const std::string& href, const std::string& uid, const Komunikat& k,
                                   const Precondition& pre, Outcome& outcome)
    {
        std::string why;
        const std::string text = Text(k, uid, why);
        outcome = Outcome::Ok;
        if (text.empty()) {
            r.lines.push_back("not sent: " + Named(k) + ": " + why);
            outcome = Outcome::Other;
            return std::nullopt;
        }
        const auto put = s.client_.Put(href, text, pre);
        outcome = put.status.outcome;
        if (outcome == Outcome::PreconditionFailed || outcome == Outcome::Gone)
            return std::nullopt;
        if (!put.ok())
            Fail(put.status);
        Wrote();
        return put.value;
    }

    // A reminder up as an event of its own: its UID that of the export
    // (the same at every try, so that a sync broken off after the PUT finds
    // its event again), made unique among those known.
    std::optional<SyncEntry> UploadNew(const Komunikat& k, int nth, int position)
    {
        for (int tries = 0; tries < 20; ++tries, ++nth) {
            const std::string uid = ReminderUid(k, nth);
            if (usedUids.count(uid))
                continue;
            usedUids.insert(uid);
            const std::string href = caldav::Client::MemberUrl(calendar, uid);
            if (working.count(HrefKey(href)) || pending.count(HrefKey(href)) || notHeld.count(HrefKey(href)))
                continue;
            Outcome outcome;
            const auto etag = Put(href, uid, k, Precondition::Create(), outcome);
            if (etag)
                return SyncEntry{uid, href, *etag, k, position};
            if (outcome != Outcome::PreconditionFailed)
                return std::nullopt;
            // Already there: ours from a sync broken off, or someone else's.
            const auto there = Refetch(href);
            if (there && there->form && SameForm(*there->form, k))
                return SyncEntry{uid, href, there->etag, k, position};
        }
        return std::nullopt;
    }

    void NameNotHeld(const ServerEvent& ev)
    {
        const std::string key = HrefKey(ev.href);
        const bool named = notHeld.count(key) > 0;
        notHeld[key] = NotHeld{ev.href, ev.etag};
        if (!named) {
            ++r.notHeld;
            r.lines.push_back("not held, left on the server: " + ev.why);
        }
    }

    // One synced event: what happened on each side, and what is done.
    void Handle(const SyncEntry& entry, int li, ServerSide side, const ServerEvent* ev, int tries = 2)
    {
        const std::string key = HrefKey(entry.href);
        if (side == ServerSide::Changed && !ev->form) {
            // Changed there into something Remindo cannot hold: it stays
            // there, and the local reminder goes up as an event of its own.
            working.erase(key);
            NameNotHeld(*ev);
            if (li >= 0)
                orphans.push_back(li);
            return;
        }
        const Komunikat* local = li >= 0 ? &list[size_t(li)] : nullptr;
        const LocalSide ls = !local ? LocalSide::Deleted
                             : SameForm(*local, entry.form) ? LocalSide::Same : LocalSide::Edited;
        const Komunikat* server = side == ServerSide::Changed ? &*ev->form : nullptr;
        const std::string etagNow = side == ServerSide::Changed ? ev->etag : entry.etag;
        const auto again = [&](Outcome outcome) {
            if (tries == 0)
                return; // it keeps changing: the next sync
            if (outcome == Outcome::Gone)
                return Handle(entry, li, ServerSide::Gone, nullptr, tries - 1);
            const auto now = Refetch(entry.href);
            if (!now)
                return Handle(entry, li, ServerSide::Gone, nullptr, tries - 1);
            Handle(entry, li, ServerSide::Changed, &*now, tries - 1);
        };
        const auto op = [&](LocalOp::Kind kind, const Komunikat* form, std::optional<SyncEntry> after) {
            LocalOp o;
            o.kind = kind;
            o.index = li;
            if (local)
                o.expected = *local;
            if (form)
                o.form = *form;
            o.href = entry.href;
            o.before = entry;
            r.ops.push_back(std::move(o));
            pending[key] = std::move(after);
            ++r.received;
        };
        SyncEntry now = entry;
        now.etag = etagNow;
        switch (Decide(entry.form, ls, local, side, server)) {
        case Action::Nothing:
            break;
        case Action::Upload:
        case Action::Recreate: {
            Outcome outcome;
            const bool create = side == ServerSide::Gone;
            const auto etag = Put(entry.href, entry.uid, *local, create ? Precondition::Create()
                                                                         : Precondition::Match(etagNow), outcome);
            if (etag)
                working[key] = SyncEntry{entry.uid, entry.href, *etag, *local, li};
            else if (outcome == Outcome::PreconditionFailed || outcome == Outcome::Gone)
                again(outcome);
            break;
        }
        case Action::DeleteOnServer: {
            const Status st = s.client_.Delete(entry.href, etagNow);
            if (st.ok() || st.outcome == Outcome::Gone) {
                working.erase(key);
                if (st.ok())
                    Wrote();
            } else if (st.outcome == Outcome::PreconditionFailed) {
                again(st.outcome);
            } else {
                Fail(st);
            }
            break;
        }
        case Action::TakeServer:
            now.form = *server;
            op(LocalOp::Replace, server, now);
            break;
        case Action::RemoveLocal:
            op(LocalOp::Remove, nullptr, std::nullopt);
            break;
        case Action::AddLocal:
            now.form = *server;
            op(LocalOp::Add, server, now);
            r.lines.push_back("back from the server (deleted here, edited there): " + Named(*server));
            break;
        case Action::KeepBoth: {
            // The server's version first goes up as an event of its own, so
            // that nothing is lost should the sync break off after the next PUT.
            const auto copy = UploadNew(*server, 1, -1);
            if (!copy)
                break;
            LocalOp o;
            o.kind = LocalOp::Add;
            o.form = *server;
            o.href = copy->href;
            r.ops.push_back(o);
            pending[HrefKey(copy->href)] = *copy;
            ++r.received;
            ++r.bothKept;
            r.lines.push_back("edited on both sides, both kept: " + Named(*local) + " and " + Named(*server));
            Outcome outcome;
            if (const auto etag = Put(entry.href, entry.uid, *local, Precondition::Match(etagNow), outcome))
                working[key] = SyncEntry{entry.uid, entry.href, *etag, *local, li};
            break;
        }
        case Action::Refresh:
            if (local)
                now.form = *local;
            working[key] = now;
            break;
        case Action::Forget:
            working.erase(key);
            break;
        }
    }

    std::vector<int> orphans; // local reminders whose event went out of reach

    void Run(const SyncState& state, const std::string& account)
    {
        const bool first = state.account != account || state.calendar != calendar;
        if (!first) {
            base = state;
        } else {
            base.account = account;
            base.calendar = calendar;
        }
        for (const SyncEntry& e : base.entries) {
            working[HrefKey(e.href)] = e;
            usedUids.insert(e.uid);
        }
        for (const NotHeld& n : base.notHeld)
            notHeld[HrefKey(n.href)] = n;

        // What the server has changed.
        caldav::Changes changes;
        std::string ctag;
        bool unchanged = false;
        if (base.token.empty()) {
            const auto st = s.client_.State(calendar);
            if (!st.ok())
                Fail(st.status, st.status.outcome == Outcome::Gone);
            ctag = st.value.ctag;
            unchanged = !first && !ctag.empty() && ctag == base.ctag;
        }
        if (!unchanged) {
            const auto c = s.client_.ChangesSince(calendar, base.token);
            if (!c.ok())
                Fail(c.status, c.status.outcome == Outcome::Gone);
            changes = c.value;
        }
        std::set<std::string> gone, listed;
        std::vector<std::string> fetch;
        for (const caldav::Member& m : changes.changed) {
            const std::string key = HrefKey(m.href);
            listed.insert(key);
            const auto w = working.find(key);
            if (w != working.end() && w->second.etag == m.etag)
                continue;
            const auto n = notHeld.find(key);
            if (n != notHeld.end() && n->second.etag == m.etag)
                continue;
            fetch.push_back(m.href);
        }
        for (const std::string& h : changes.removed)
            gone.insert(HrefKey(h));
        if (changes.complete) {
            for (const auto& [key, e] : working)
                if (!listed.count(key))
                    gone.insert(key);
            for (auto it = notHeld.begin(); it != notHeld.end();)
                it = listed.count(it->first) ? std::next(it) : notHeld.erase(it);
        }
        for (const std::string& key : gone)
            notHeld.erase(key);
        std::map<std::string, ServerEvent> changed; // by key
        if (!fetch.empty()) {
            const auto f = s.client_.Fetch(calendar, fetch);
            if (!f.ok())
                Fail(f.status, f.status.outcome == Outcome::Gone);
            for (const caldav::Resource& res : f.value.found)
                changed.emplace(HrefKey(res.href), Read(res.href, res.etag, res.data));
            for (const std::string& h : f.value.missing)
                gone.insert(HrefKey(h));
        }
        for (const auto& [key, ev] : changed)
            if (!ev.uid.empty())
                usedUids.insert(ev.uid);

        // Each synced event against its local reminder.
        const std::vector<SyncEntry> synced = first ? std::vector<SyncEntry>() : base.entries;
        const std::vector<int> of = Pair(list, synced);
        std::set<std::string> syncedKeys;
        for (const SyncEntry& e : synced)
            syncedKeys.insert(HrefKey(e.href));
        std::vector<int> localOf(synced.size(), -1);
        for (size_t i = 0; i < of.size(); ++i)
            if (of[i] >= 0)
                localOf[size_t(of[i])] = int(i);
        for (size_t e = 0; e < synced.size(); ++e) {
            const std::string key = HrefKey(synced[e].href);
            const auto c = changed.find(key);
            const ServerSide side = c != changed.end() ? ServerSide::Changed
                                    : gone.count(key)  ? ServerSide::Gone
                                                       : ServerSide::Same;
            Handle(synced[e], localOf[e], side, c != changed.end() ? &c->second : nullptr);
        }

        // New events on the server, and reminders new here: an event that is
        // a new reminder's (by the UID its export gives it, or by its whole
        // form) pairs with it; the rest cross over.
        std::vector<int> added;
        for (size_t i = 0; i < of.size(); ++i)
            if (of[i] < 0)
                added.push_back(int(i));
        added.insert(added.end(), orphans.begin(), orphans.end());
        std::sort(added.begin(), added.end());
        std::map<std::string, int> byUid;
        std::vector<int> nthOf(list.size(), 1);
        {
            std::map<std::tuple<std::string, int32_t, int32_t>, int> seen;
            for (size_t i = 0; i < list.size(); ++i)
                nthOf[i] = ++seen[{list[i].Tresc, list[i].Data.serial, list[i].CoIle}];
        }
        for (const int i : added)
            byUid.emplace(ReminderUid(list[size_t(i)], nthOf[size_t(i)]), i);
        std::vector<bool> claimed(list.size(), false);
        for (const auto& [key, ev] : changed) {
            if (working.count(key) || pending.count(key))
                continue;
            if (syncedKeys.count(key))
                continue;
            if (!ev.form) {
                NameNotHeld(ev);
                continue;
            }
            notHeld.erase(key); // changed into something Remindo holds
            int li = -1;
            const auto u = byUid.find(ev.uid);
            if (u != byUid.end() && !claimed[size_t(u->second)])
                li = u->second;
            for (size_t a = 0; li < 0 && a < added.size(); ++a)
                if (!claimed[size_t(added[a])] && SameForm(list[size_t(added[a])], *ev.form))
                    li = added[a];
            if (li >= 0) {
                claimed[size_t(li)] = true;
                const Komunikat& k = list[size_t(li)];
                if (SameForm(k, *ev.form)) {
                    working[key] = SyncEntry{ev.uid, ev.href, ev.etag, FormOf(k), li};
                } else {
                    // The same text, date and rule: the answers here go up.
                    Outcome outcome;
                    if (const auto etag = Put(ev.href, ev.uid, k, Precondition::Match(ev.etag), outcome))
                        working[key] = SyncEntry{ev.uid, ev.href, *etag, FormOf(k), li};
                }
                continue;
            }
            LocalOp o;
            o.kind = LocalOp::Add;
            o.form = *ev.form;
            o.href = ev.href;
            r.ops.push_back(o);
            pending[key] = SyncEntry{ev.uid, ev.href, ev.etag, *ev.form, -1};
            ++r.received;
        }
        for (const int i : added) {
            if (claimed[size_t(i)])
                continue;
            if (auto e = UploadNew(FormOf(list[size_t(i)]), nthOf[size_t(i)], i)) {
                const std::string key = HrefKey(e->href);
                working[key] = std::move(*e);
            }
        }

        // The state once the ops are in the data file.
        r.unapplied = Checkpoint();
        r.unapplied.ctag.clear(); // so that the next sync lists the server again
        r.state = Checkpoint();
        r.state.token = changes.syncToken;
        r.state.ctag = unchanged ? base.ctag : ctag;
        std::map<std::string, SyncEntry> all = working;
        for (const auto& [key, e] : pending) {
            if (e)
                all[key] = *e;
            else
                all.erase(key);
        }
        r.state.entries.clear();
        for (auto& [key, e] : all)
            r.state.entries.push_back(std::move(e));
        r.ok = true;
    }
};

Syncer::Syncer(caldav::Client& client, IcsCodec& codec, Date today, std::function<void(const SyncState&)> checkpoint,
               int every)
    : client_(client), codec_(codec), today_(today), checkpoint_(std::move(checkpoint)), every_(every > 0 ? every : 1)
{
}

SyncResult Syncer::Run(const std::vector<Komunikat>& list, const SyncState& state, const std::string& account,
                       const std::string& calendar)
{
    Pass pass(*this, list, calendar);
    try {
        pass.Run(state, account);
    } catch (const Broken& b) {
        pass.r = SyncResult();
        pass.r.error = Explained(b.status);
        pass.r.failure = b.status;
        // A calendar gone takes what was known of it along: the next sync
        // looks it up again and starts over, pairing instead of deleting.
        pass.r.state = b.calendarGone ? SyncState() : pass.Checkpoint();
        if (b.calendarGone)
            pass.r.error = "the calendar is no longer on the server (the next sync looks for it again): " +
                           b.status.message;
        if (checkpoint_)
            checkpoint_(pass.r.state);
    }
    pass.r.requests = client_.Requests();
    pass.r.error = Shown(pass.r.error);
    for (std::string& line : pass.r.lines)
        line = Shown(line);
    return pass.r;
}

} // namespace remindo::sync
