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

void ChoosePlatformForSession()
{
    const QByteArray platform = PreferredPlatform(SessionEnvironment::FromProcess());
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
}

} // namespace remindo
