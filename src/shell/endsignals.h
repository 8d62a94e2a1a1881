#pragma once
// The signals that ask the program to end (SIGTERM, SIGHUP, SIGINT) are
// read as events of the event loop, so that edits waiting in the list
// window are saved or asked about first. No handler is installed: the
// signals are blocked in every thread and read from a signalfd. Children
// start with them unblocked again, as the program was started itself.

#include <QObject>

class QSocketNotifier;

namespace remindo {

// Called by main() while the process has one thread: every thread started
// later inherits the block. Opens and answers the descriptor that reads
// the signals, or -1 where none can be read (nothing is blocked then, and
// the signals end the program as the system ends it). A signal the program
// was started with ignored (nohup's SIGHUP, a background job's SIGINT)
// stays ignored. Children made with fork() (QDesktopServices, a detached
// QProcess) get the mask they would have had; QProcess::start() clones
// without fork handlers, so its users must unblock in a child modifier.
int BlockEndSignals();

// Lets the blocked signals through again, for a program that ends by the
// signal it received.
void UnblockEndSignals();

// The descriptor from BlockEndSignals() on the event loop: one `received`
// per signal.
class EndSignalReader final : public QObject {
    Q_OBJECT
public:
    explicit EndSignalReader(int fd, QObject* parent = nullptr);
    ~EndSignalReader() override;

signals:
    void received(int signalNumber);

private:
    void Read();

    int fd_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace remindo
