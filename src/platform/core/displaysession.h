#pragma once
// Which Qt platform the program asks for. A Wayland compositor does not let
// a program place its own windows, and the reminder window must sit in the
// bottom-right corner: under Wayland with XWayland present the program runs
// on X11 (xcb), unless the user chose a platform in QT_QPA_PLATFORM.

#include <QByteArray>

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

// Sets QT_QPA_PLATFORM for the application object about to be created.
void ChoosePlatformForSession();

} // namespace remindo
