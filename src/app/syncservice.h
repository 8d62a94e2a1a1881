#pragma once
// The program's syncing with a CalDAV calendar as the sync window sees it:
// the account, a sync now, and how the last one ended. The shell's side does
// the network on a thread of its own; nothing here waits on it. No widgets.

#include "sync/account.h"

#include <functional>
#include <string>

namespace remindo {

class SyncService {
public:
    virtual ~SyncService() = default;

    // The account kept; none: an empty server.
    virtual sync::SyncAccount Account() const = 0;
    // Keeps the account, its password in the desktop's keyring only (an
    // empty password keeps the one stored for the same server and user).
    // `done` runs later on the caller's thread with an empty line, or the
    // line that says what failed.
    virtual void SaveAccount(const sync::SyncAccount& account, const std::string& password,
                             std::function<void(const std::string& failure)> done) = 0;
    // A sync as soon as may be (after the one under way).
    virtual void SyncNow() = 0;
    virtual bool Running() const = 0;
    // The last sync's result in one line (UTF-8): its time with what went
    // each way, or what failed; empty before the first.
    virtual std::string LastLine() const = 0;
    // Empty while the keyring answers (or was not asked yet), else one line
    // saying that none is there.
    virtual std::string KeyringLine() const = 0;
    // Asks the keyring whether it is there; the answer comes to the followers.
    virtual void ProbeKeyring() = 0;
    // Runs after every change of what the getters answer.
    virtual void Follow(std::function<void()> follow) = 0;
};

} // namespace remindo
