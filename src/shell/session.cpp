#include "shell/session.h"

#include <QGuiApplication>
#include <QSessionManager>

namespace remindo {

void CommitData(LogoutConversation& c, const LogoutHandlers& h)
{
    c.AskNeverToRestart();
    if (!h.pending || !h.pending())
        return;
    if (!c.AllowInteraction()) {
        h.save();
        return;
    }
    const bool goOn = h.askBeforeEnd();
    c.Release();
    if (!goOn)
        c.CancelLogout();
}

namespace {

class QtConversation final : public LogoutConversation {
public:
    explicit QtConversation(QSessionManager& m) : m_(m) {}
    void AskNeverToRestart() override { m_.setRestartHint(QSessionManager::RestartNever); }
    bool AllowInteraction() override { return m_.allowsInteraction(); }
    void Release() override { m_.release(); }
    void CancelLogout() override { m_.cancel(); }

private:
    QSessionManager& m_;
};

} // namespace

void WatchSession(QGuiApplication& app, LogoutHandlers handlers)
{
#ifndef QT_NO_SESSIONMANAGER
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, [handlers](QSessionManager& m) {
        QtConversation c(m);
        CommitData(c, handlers);
    });
    // The hint again with the state: some managers read it only then.
    QObject::connect(&app, &QGuiApplication::saveStateRequest, &app,
                     [](QSessionManager& m) { m.setRestartHint(QSessionManager::RestartNever); });
#else
    (void)app;
    (void)handlers;
#endif
}

} // namespace remindo
