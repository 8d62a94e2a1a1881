#pragma once
// The desktop's session manager. Remindo is started by its autostart entry,
// so it asks never to be restarted (a desktop that restores sessions would
// otherwise start a second copy beside the autostarted one). At log-out,
// edits still waiting in the list window get the list window's own
// question, through the session manager's interaction: "Tak" saves, "Nie"
// drops them, "Anuluj" cancels the log-out where the desktop lets it.

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
};

// One log-out: the restart hint, and the question where edits wait. Where
// the session manager allows no question the edits are saved: losing them
// unasked is worse, and a version written meanwhile by another program is
// kept beside the file by the save itself.
void CommitData(LogoutConversation& c, const LogoutHandlers& h);

// Connects the application's session signals to CommitData.
void WatchSession(QGuiApplication& app, LogoutHandlers handlers);

} // namespace remindo
