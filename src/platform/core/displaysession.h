#pragma once
// Which Qt platform the program asks for. A Wayland compositor does not let
// a program place its own windows, and the reminder window must sit in the
// bottom-right corner: under Wayland with XWayland present the program runs
// on X11 (xcb), unless the user chose a platform in QT_QPA_PLATFORM.

#include <QByteArray>

#include <string>
#include <vector>

namespace remindo {

struct SessionEnvironment {
    QByteArray qpaPlatform;   // QT_QPA_PLATFORM
    QByteArray sessionType;   // XDG_SESSION_TYPE
    QByteArray waylandDisplay; // WAYLAND_DISPLAY
    QByteArray x11Display;    // DISPLAY
    static SessionEnvironment FromProcess();
};

// "xcb" when the program should ask for it, else empty (Qt's own choice).
QByteArray PreferredPlatform(const SessionEnvironment& env);

// Adds "-platform xcb" to the arguments for the application object when
// the session calls for it and the arguments choose no platform. Through the
// arguments, not QT_QPA_PLATFORM: programs started from ours (the browser
// with the help page) must not inherit the choice.
void ChoosePlatformForSession(std::vector<std::string>& qtArgs,
                              const SessionEnvironment& env = SessionEnvironment::FromProcess());

} // namespace remindo
