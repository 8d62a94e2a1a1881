#pragma once
// The tray icon `CoolTray` and its menu `PopMenu`, on the main window's
// handlers. Desktops without a notification area exist: when none is there
// at start the icon waits for one, and if none comes within a minute the
// blue panel is shown once so the user knows the program runs.

#include <QMenu>
#include <QObject>
#include <QTimer>

namespace remindo {

class TFGlowny;
class TrayIcon;

class CoolTray final : public QObject {
    Q_OBJECT
public:
    static constexpr int kHostWaitMs = 60000;

    CoolTray(TFGlowny& glowny, TrayIcon& icon, int hostWaitMs = kHostWaitMs);

    void Start();
    QMenu& PopMenu() { return menu_; }
    QAction* Item(const char* name) const; // by object name, e.g. "CloseApp"
    bool Waiting() const { return wait_.isActive(); }

private:
    void HostWaitOver();

    TFGlowny& glowny_;
    TrayIcon& icon_;
    QMenu menu_;
    QTimer wait_;
};

} // namespace remindo
