#include "platform/core/displaysession.h"

#include <QtGlobal>

namespace remindo {

SessionEnvironment SessionEnvironment::FromProcess()
{
    return {qgetenv("QT_QPA_PLATFORM"), qgetenv("XDG_SESSION_TYPE"), qgetenv("WAYLAND_DISPLAY"),
            qgetenv("DISPLAY")};
}

QByteArray PreferredPlatform(const SessionEnvironment& env)
{
    if (!env.qpaPlatform.isEmpty())
        return {};
    const bool wayland = env.sessionType == "wayland" || !env.waylandDisplay.isEmpty();
    if (wayland && !env.x11Display.isEmpty())
        return "xcb";
    return {};
}

void ChoosePlatformForSession(std::vector<std::string>& qtArgs, const SessionEnvironment& env)
{
    for (const std::string& a : qtArgs)
        if (a == "-platform" || a == "--platform")
            return; // the user's own choice
    const QByteArray platform = PreferredPlatform(env);
    if (!platform.isEmpty()) {
        qtArgs.push_back("-platform");
        qtArgs.push_back(platform.toStdString());
    }
}

} // namespace remindo
