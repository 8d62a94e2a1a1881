#pragma once
// The CalDAV password, kept by the desktop's Secret Service through Qt
// Keychain and never in a file of ours: no insecure fallback.

#include <chrono>
#include <string>
#include <string_view>

namespace remindo::net {

enum class KeyringOutcome {
    Ok,
    NotFound,  // Read: nothing stored for that server and user
    NoService, // no Secret Service answers: nothing can be stored
    Failed,    // it answered and refused (locked, denied, ...)
};

struct KeyringResult {
    KeyringOutcome outcome = KeyringOutcome::Ok;
    std::string password; // read's answer
    std::string message;  // one line, when not Ok
    bool ok() const { return outcome == KeyringOutcome::Ok; }
};

// Blocking calls on the calling thread's event loop (a QCoreApplication must
// exist); each gives up after `limit`, as a keyring that asks the user to
// unlock it may never answer in a session without a desktop.
class PasswordStore {
public:
    explicit PasswordStore(std::chrono::milliseconds limit = std::chrono::seconds(30));

    KeyringResult Store(std::string_view server, std::string_view user, std::string_view password);
    KeyringResult Read(std::string_view server, std::string_view user);
    // Ok also when nothing was stored.
    KeyringResult Remove(std::string_view server, std::string_view user);

    // The keychain's service name and an entry's key.
    static const char* Service();
    static std::string Key(std::string_view server, std::string_view user);

private:
    std::chrono::milliseconds limit_;
};

} // namespace remindo::net
