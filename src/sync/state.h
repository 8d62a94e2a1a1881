#pragma once
// What a sync remembers between runs, in a file of its own beside the data
// file (the data file has no room for it and keeps its format): the
// calendar, the server's token, and for each reminder on the server its
// event (UID, address, ETag) with the form both sides last agreed on.

#include "store/reminders.h"

#include <string>
#include <vector>

namespace remindo::sync {

struct SyncEntry {
    std::string uid;
    std::string href;
    std::string etag;
    Komunikat form;    // the stored fields as last synced
    int position = -1; // its index in the list then
};

// An event Remindo cannot hold: named once, then left alone.
struct NotHeld {
    std::string href;
    std::string etag;
};

struct SyncState {
    std::string account;  // server, user and calendar name the rest belongs to
    std::string calendar; // the calendar's address
    std::string token;    // sync-collection token; empty when none
    std::string ctag;
    std::vector<SyncEntry> entries;
    std::vector<NotHeld> notHeld;
};

// The state file beside the data file.
std::string StatePath(const std::string& dataFile);

enum class StateRead { Read, Missing, Damaged };
StateRead ReadState(const std::string& path, SyncState& state, std::string* why = nullptr);
// Replaces the file atomically, private to the user; false with the reason.
bool WriteState(const std::string& path, const SyncState& state, std::string* why = nullptr);

std::string StateText(const SyncState& state);
bool ParseState(const std::string& text, SyncState& state);

} // namespace remindo::sync
