#pragma once
// The running copy on the session bus, so that the application menu, a
// second start, scripts and remindo-data can reach it: it owns the name
// pl.vendly.Remindo and serves, at /pl/vendly/Remindo, the standard
// org.freedesktop.Application interface (Activate, ActivateAction, Open)
// and our own pl.vendly.Remindo for what the standard one has no word for.
// The lock file stays the single-instance guard; without a session bus the
// program runs as ever, only unreachable.

#include "store/filestamp.h"

#include <QDBusConnection>

#include <memory>
#include <optional>
#include <string>

namespace remindo {

inline constexpr const char* kBusPath = "/pl/vendly/Remindo";
inline constexpr const char* kOwnInterface = "pl.vendly.Remindo";

// What the running copy did with an action asked for from outside.
struct ActionAnswer {
    bool known = false;   // false: no action of ours
    std::string inTheWay; // empty: done as asked; else the window brought
                          // forward instead, named for people ("okno
                          // kalendarza"), in UTF-8
};

// What the running copy does when asked. Each call answers at once; work
// that may show a window is done after the answer has gone.
class RemoteHandler {
public:
    virtual ~RemoteHandler() = default;
    virtual void Activate() = 0;
    virtual ActionAnswer ActivateAction(const std::string& name) = 0;
    virtual bool HasTrayIcon() = 0;
    // `path` is the file just written, in the local file-name encoding.
    virtual ReloadAnswer ReloadData(const std::string& path) = 0;
};

class BusService {
public:
    explicit BusService(RemoteHandler& handler);
    ~BusService();
    // Serves the object and takes the name; false (after a log line) when
    // there is no bus or the name belongs to someone else.
    bool Register(QDBusConnection bus = QDBusConnection::sessionBus());

private:
    class Object;
    std::unique_ptr<Object> object_;
    std::optional<QDBusConnection> bus_;
};

// The asking side. Every call gives up after `timeoutMs`; nothing is ever
// started on the bus's behalf.
class BusClient {
public:
    explicit BusClient(QDBusConnection bus = QDBusConnection::sessionBus(), int timeoutMs = 5000);
    // Someone owns the name.
    bool Reachable() const;
    std::optional<bool> HasTrayIcon() const;
    // The standard call: no word comes back of what was done.
    bool ActivateAction(const std::string& name) const;
    // The same, answered: what stood in the way of the window asked for
    // (empty: nothing, it is done). Nothing when the running copy cannot be
    // asked or knows no such action. A running copy older than this call
    // is asked the standard way, and nothing is said to stand in the way.
    std::optional<std::string> RunAction(const std::string& name) const;
    std::optional<ReloadAnswer> ReloadData(const std::string& path) const;

private:
    QDBusConnection bus_;
    int timeoutMs_;
};

} // namespace remindo
