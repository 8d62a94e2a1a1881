#pragma once
// The desktop's session manager. Remindo is started by its autostart entry,
// so it asks never to be restarted (a desktop that restores sessions would
// otherwise start a second copy beside the autostarted one). At log-out,
// edits still waiting in the list window get the list window's own
// question, through the session manager's interaction: "Tak" saves, "Nie"
// drops them, "Anuluj" cancels the log-out where the desktop lets it.
// The signals that end a program take the same road without a session
// manager.

#include <array>
#include <functional>

class QGuiApplication;
class QSessionManager;

namespace remindo {

// What the program needs of one log-out conversation.
class LogoutConversation {
public:
    virtual ~LogoutConversation() = default;
    virtual void AskNeverToRestart() = 0;
    // True when the session manager lets the program ask the user now.
    virtual bool AllowInteraction() = 0;
    virtual void Release() = 0;
    virtual void CancelLogout() = 0;
};

struct LogoutHandlers {
    std::function<bool()> pending;   // edits wait in the list window
    std::function<bool()> askBeforeEnd; // the list window's question; false: Anuluj (or a failed save)
    std::function<bool()> save;      // the pending edits written
    std::function<bool()> questionStands = {}; // the list window's question is asked now
};

// One log-out: the restart hint, and the question where edits wait. Where
// the session manager allows no question the edits are saved: losing them
// unasked is worse, and a version written meanwhile by another program is
// kept beside the file by the save itself.
void CommitData(LogoutConversation& c, const LogoutHandlers& h);

// Connects the application's session signals to CommitData.
void WatchSession(QGuiApplication& app, LogoutHandlers handlers);

// A signal that asks the program to end, and whether the list window's
// question may be asked first.
struct EndSignal {
    int number;
    bool mayAsk;
};

// SIGTERM comes from the session's end, systemd or kill, and SIGKILL
// follows within seconds: a question would lose the edits to it, so they
// are saved. SIGHUP says that the terminal or session the program was
// started from is gone, and nobody may be there to answer: saved. SIGINT is
// Ctrl+C in the terminal the program runs from: the user is there and
// nothing hurries, so the question is asked, and its Anuluj keeps the
// program running.
extern const std::array<EndSignal, 3> kEndSignals;

// Whether an end signal may end the program now: nothing waits, or the
// edits were saved, or the question was answered Tak (saved) or Nie. A
// signal while the question already stands saves: the sender insists, and
// the edits must not be lost either way. False keeps the program running:
// Anuluj, or a save that failed (the store has said why).
bool MayEndOnSignal(const EndSignal& s, const LogoutHandlers& h);

// The end signals read from the event loop: each known one that may end the
// program calls `end` once; later ones are ignored while it ends.
class SignalEnding {
public:
    SignalEnding(LogoutHandlers handlers, std::function<void()> end)
        : handlers_(std::move(handlers)), end_(std::move(end))
    {
    }
    void Received(int signalNumber);
    // The signal that ended the program, or 0.
    int EndedBy() const { return endedBy_; }

private:
    LogoutHandlers handlers_;
    std::function<void()> end_;
    int endedBy_ = 0;
};

} // namespace remindo
