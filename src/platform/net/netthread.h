#pragma once
// A thread for network work, so that the program's windows never wait on a
// server: the CalDAV client blocks there, and the answer comes back to the
// window's own thread as a queued call.

#include <QObject>
#include <QThread>

#include <functional>

namespace remindo::net {

class NetThread final {
public:
    NetThread();
    // Waits for the job under way: cancel its transport first (the program
    // ending must not wait out a stalled server).
    ~NetThread();
    NetThread(const NetThread&) = delete;
    NetThread& operator=(const NetThread&) = delete;

    // Runs `job` on the network thread, jobs one after another, then `done`
    // on `receiver`'s thread; `done` is dropped when `receiver` is gone by then.
    void Run(std::function<void()> job, QObject* receiver, std::function<void()> done);

    QThread* Thread() { return &thread_; }

private:
    QThread thread_;
};

// One job's messenger between the two threads (internal).
class NetJob final : public QObject {
    Q_OBJECT
public:
    explicit NetJob(std::function<void()> job) : job_(std::move(job)) {}
    void Start();
signals:
    void Finished();

private:
    std::function<void()> job_;
};

} // namespace remindo::net
