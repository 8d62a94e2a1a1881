#include "shell/session.h"

#include <QGuiApplication>
#include <QSessionManager>

#include <algorithm>
#include <csignal>

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

const std::array<EndSignal, 3> kEndSignals{{{SIGTERM, false}, {SIGHUP, false}, {SIGINT, true}}};

bool MayEndOnSignal(const EndSignal& s, const LogoutHandlers& h)
{
    if (!h.pending || !h.pending())
        return true;
    if (!s.mayAsk || (h.questionStands && h.questionStands()))
        return h.save();
    return h.askBeforeEnd();
}

void SignalEnding::Received(int signalNumber)
{
    const auto s = std::find_if(kEndSignals.begin(), kEndSignals.end(),
                                [signalNumber](const EndSignal& e) { return e.number == signalNumber; });
    if (s == kEndSignals.end() || endedBy_ != 0)
        return;
    // The question's event loop may take a second signal, which ends the
    // program before the question returns.
    if (!MayEndOnSignal(*s, handlers_) || endedBy_ != 0)
        return;
    endedBy_ = signalNumber;
    end_();
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
