#include "sync/plan.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace remindo::sync {

namespace {

auto Key(const Komunikat& k)
{
    return std::make_tuple(k.Tresc, k.Data.serial, k.CoIle, k.IlePrzed, k.CzyPo, k.Blok, k.BlokDzis,
                           k.BlokDzisData.serial, k.Ile);
}

} // namespace

bool SameForm(const Komunikat& a, const Komunikat& b) { return Key(a) == Key(b); }

Komunikat FormOf(const Komunikat& k)
{
    Komunikat f = k;
    f.WarnToday = false;
    f.ShownToday = f.LastShownMinute = 0;
    f.PassBlockedOn = Date();
    return f;
}

std::vector<int> Pair(const std::vector<Komunikat>& local, const std::vector<SyncEntry>& entries)
{
    std::vector<int> of(local.size(), -1);
    std::vector<bool> taken(entries.size(), false);
    // Entries in their old list order.
    std::vector<int> order(entries.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return entries[size_t(a)].position < entries[size_t(b)].position; });

    std::map<decltype(Key(Komunikat())), std::vector<int>> byForm; // local indices, last first
    for (int i = int(local.size()) - 1; i >= 0; --i)
        byForm[Key(local[size_t(i)])].push_back(i);
    for (const int e : order) {
        auto it = byForm.find(Key(entries[size_t(e)].form));
        if (it == byForm.end() || it->second.empty())
            continue;
        of[size_t(it->second.back())] = e;
        taken[size_t(e)] = true;
        it->second.pop_back();
    }

    // The gap each leftover lies in: how many matched ones come before it.
    std::map<int, std::vector<int>> localGaps, entryGaps;
    int matched = 0;
    for (size_t i = 0; i < local.size(); ++i) {
        if (of[i] >= 0)
            ++matched;
        else
            localGaps[matched].push_back(int(i));
    }
    matched = 0;
    for (const int e : order) {
        if (taken[size_t(e)])
            ++matched;
        else
            entryGaps[matched].push_back(e);
    }
    for (auto& [gap, locals] : localGaps) {
        auto found = entryGaps.find(gap);
        if (found == entryGaps.end())
            continue;
        std::vector<int>& free = found->second;
        const auto pairBy = [&](auto alike) {
            for (const int i : locals) {
                if (of[size_t(i)] >= 0)
                    continue;
                for (auto it = free.begin(); it != free.end(); ++it)
                    if (alike(local[size_t(i)], entries[size_t(*it)].form)) {
                        of[size_t(i)] = *it;
                        free.erase(it);
                        break;
                    }
            }
        };
        pairBy([](const Komunikat& a, const Komunikat& b) { return a.Tresc == b.Tresc; });
        pairBy([](const Komunikat& a, const Komunikat& b) { return a.Data == b.Data && a.CoIle == b.CoIle; });
        pairBy([](const Komunikat&, const Komunikat&) { return true; });
    }
    return of;
}

Action Decide(const Komunikat& base, LocalSide localSide, const Komunikat* local, ServerSide serverSide,
              const Komunikat* server)
{
    // A server version that holds what was synced is no change at all.
    if (serverSide == ServerSide::Changed && server && SameForm(*server, base)) {
        if (localSide == LocalSide::Same)
            return Action::Refresh;
        return localSide == LocalSide::Edited ? Action::Upload : Action::DeleteOnServer;
    }
    switch (localSide) {
    case LocalSide::Same:
        return serverSide == ServerSide::Same      ? Action::Nothing
               : serverSide == ServerSide::Changed ? Action::TakeServer
                                                   : Action::RemoveLocal;
    case LocalSide::Edited:
        if (serverSide == ServerSide::Same)
            return Action::Upload;
        if (serverSide == ServerSide::Gone)
            return Action::Recreate;
        return SameForm(*local, *server) ? Action::Refresh : Action::KeepBoth;
    case LocalSide::Deleted:
        return serverSide == ServerSide::Same      ? Action::DeleteOnServer
               : serverSide == ServerSide::Changed ? Action::AddLocal
                                                   : Action::Forget;
    }
    return Action::Nothing;
}

int ApplyOps(std::vector<Komunikat>& list, const std::vector<LocalOp>& ops, SyncState& state)
{
    int skipped = 0;
    std::vector<bool> removed(list.size(), false);
    std::vector<Komunikat> added;
    const auto restore = [&](const LocalOp& op) {
        ++skipped;
        auto it = std::find_if(state.entries.begin(), state.entries.end(),
                               [&](const SyncEntry& e) { return e.href == op.href; });
        if (op.before) {
            if (it != state.entries.end())
                *it = *op.before;
            else
                state.entries.push_back(*op.before);
        } else if (it != state.entries.end()) {
            state.entries.erase(it);
        }
    };
    for (const LocalOp& op : ops) {
        if (op.kind == LocalOp::Add) {
            added.push_back(op.form);
            continue;
        }
        // Where the snapshot had it, or else the first reminder still in that form.
        int at = -1;
        const auto fits = [&](int i) { return !removed[size_t(i)] && SameForm(list[size_t(i)], op.expected); };
        if (op.index >= 0 && op.index < int(list.size()) && fits(op.index))
            at = op.index;
        for (int i = 0; at < 0 && i < int(list.size()); ++i)
            if (fits(i))
                at = i;
        if (at < 0) {
            restore(op);
            continue;
        }
        if (op.kind == LocalOp::Remove) {
            removed[size_t(at)] = true;
        } else {
            // The engine's working fields go with the old form.
            list[size_t(at)] = op.form;
        }
    }
    std::vector<Komunikat> out;
    out.reserve(list.size() + added.size());
    for (size_t i = 0; i < list.size(); ++i)
        if (!removed[i])
            out.push_back(std::move(list[i]));
    for (Komunikat& k : added)
        out.push_back(std::move(k));
    list = std::move(out);

    // Positions as the list now stands; an entry not found keeps its old one.
    const std::vector<int> of = Pair(list, state.entries);
    for (size_t i = 0; i < of.size(); ++i)
        if (of[i] >= 0 && SameForm(list[i], state.entries[size_t(of[i])].form))
            state.entries[size_t(of[i])].position = int(i);
    return skipped;
}

} // namespace remindo::sync
