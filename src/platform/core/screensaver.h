#pragma once
// Whether the screen is blanked or locked, asked over D-Bus: the
// freedesktop screen saver (org.freedesktop.ScreenSaver.GetActive), then
// GNOME's (org.gnome.ScreenSaver.GetActive), which GNOME serves instead,
// and where neither answers, logind's LockedHint for the session on the
// system bus. The first that answers decides. No bus, no service, or a
// service that does not answer in time all mean "not running".

#include "engine/interfaces.h"

#include <QDBusConnection>

#include <string>
#include <utility>

namespace remindo {

class DBusScreenSaver final : public ScreenSaver {
public:
    // `timeoutMs` bounds each call; the examination pass must never hang on it.
    explicit DBusScreenSaver(int timeoutMs = 300);
    bool ScreenSaverRunning() override;

    // The services asked; tests point them at their own.
    struct Services {
        std::string freedesktop = "org.freedesktop.ScreenSaver";
        std::string gnome = "org.gnome.ScreenSaver";
        std::string logind = "org.freedesktop.login1";
    };
    void SetServices(Services s) { services_ = std::move(s); }
    void SetService(std::string freedesktop) { services_.freedesktop = std::move(freedesktop); }
    // Tests serve logind on their private session bus.
    void SetSystemBus(QDBusConnection bus) { system_ = std::move(bus); }

private:
    int timeoutMs_;
    Services services_;
    QDBusConnection system_;
};

} // namespace remindo
