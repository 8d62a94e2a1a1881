#pragma once
// The running program's syncing: at the start, after every read or write of
// the data file, and every few minutes while an account is kept. The network
// half runs on a thread of its own on a snapshot of the list and the state;
// the result comes back to the window's thread and meets the list as it
// stands then, saved through the edit session. One sync at a time; a request
// while one runs makes one more after it. With the list window's edits
// waiting (or an editor or question open) nothing local changes: the state
// stays the one that matches the file, and the changes come with a later
// sync. A failure is a line for the sync window and one for the log, never
// a box.

#include "app/syncservice.h"
#include "platform/net/netthread.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLibrary;

namespace remindo {

class AppState;
class IcsCodec;

class SyncDriver final : public QObject, public SyncService {
    Q_OBJECT
public:
    static constexpr int kEveryMs = 10 * 60 * 1000;
    // While the local half waits for a window, how often it looks again.
    static constexpr int kRetryMs = 2000;

    // `settingsFolder` holds the account; `busy` tells that an editor or a
    // question is open; the iCalendar module is looked for in `modules`.
    SyncDriver(AppState& state, std::string settingsFolder, std::function<bool()> busy,
               QStringList modules = DefaultModuleFolders());
    // A sync under way is cancelled, not waited out.
    ~SyncDriver() override;

    static QStringList DefaultModuleFolders();

    // A sync when an account is kept.
    void Request();
    QTimer& Every() { return every_; }

    // ---- SyncService
    sync::SyncAccount Account() const override;
    void SaveAccount(const sync::SyncAccount& account, const std::string& password,
                     std::function<void(const std::string&)> done) override;
    void SyncNow() override { Request(); }
    bool Running() const override { return running_; }
    std::string LastLine() const override { return lastLine_; }
    std::string KeyringLine() const override { return keyringLine_; }
    void ProbeKeyring() override;
    void Follow(std::function<void()> follow) override { followers_.push_back(std::move(follow)); }

    struct Job; // one sync's snapshot and result, shared with the network thread

signals:
    // A sync has ended, its result applied or put off (for tests).
    void finished();

private:
    void Start();
    void Done(Job& job);
    void Told();
    IcsCodec* Codec(std::string& why);
    std::string AccountPath() const;

    AppState& state_;
    std::string settingsFolder_;
    std::function<bool()> busy_;
    QStringList modules_;
    std::unique_ptr<QLibrary> library_;
    std::unique_ptr<IcsCodec> codec_;
    bool running_ = false;
    bool again_ = false;
    bool scheduled_ = false;
    bool applying_ = false; // our own save: no sync follows it
    std::string lastLine_;
    std::string keyringLine_;
    std::vector<std::function<void()>> followers_;
    std::shared_ptr<Job> current_;
    QTimer every_;
    QTimer retry_;
    // Last: goes first, waiting for the job under way (cancelled) while the
    // codec it uses still stands.
    net::NetThread net_;
};

} // namespace remindo
