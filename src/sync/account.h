#pragma once
// The CalDAV account, as the command and the program keep it: the server,
// the user and the calendar's name in Sync.ini in the settings folder; the
// password never here (the desktop's keyring holds it).

#include <optional>
#include <string>

namespace remindo::sync {

struct SyncAccount {
    std::string server;
    std::string user;
    std::string calendar = "Remindo";
    bool insecure = false; // plain http:// to another computer
    // What the sync state belongs to.
    std::string Key() const { return server + "\n" + user + "\n" + calendar; }
};

inline constexpr const char* kDefaultCalendar = "Remindo";

std::string AccountPath(const std::string& settingsFolder);

enum class AccountRead { Read, Missing, Damaged };
// Damaged: unreadable, or no server or user in it; `why` says which.
AccountRead ReadAccount(const std::string& path, SyncAccount& account, std::string* why = nullptr);
// Replaces the file atomically, private to the user, the folder made when
// missing; false with the reason.
bool WriteAccount(const std::string& path, const SyncAccount& account, std::string* why = nullptr);

// What is wrong with an account before it is used: an empty or multi-line
// user or calendar, a server that is no http(s) address, plain http:// to
// another computer without `insecure`. Nothing when it can be tried.
enum class AccountFault { None, User, Calendar, Server, PlainHttp };
AccountFault CheckAccount(const SyncAccount& account);

} // namespace remindo::sync
