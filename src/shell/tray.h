#pragma once
// The tray icon `CoolTray` and its menu `PopMenu`, made from the list of
// actions and served by the program. Desktops without a notification area exist: when none is there
// at start the icon waits for one, and if none comes within a minute the
// blue panel is shown once so the user knows the program runs.

#include <QMenu>
#include <QObject>
#include <QTimer>

namespace remindo {

class Program;
class TrayIcon;

class CoolTray final : public QObject {
    Q_OBJECT
public:
    static constexpr int kHostWaitMs = 60000;

    explicit CoolTray(TrayIcon& icon, int hostWaitMs = kHostWaitMs);

    // The icon goes up first, so that the desktop embeds it while the
    // windows are being made; the menu and the click work once attached.
    void ShowIcon();
    void Attach(Program& program);
    void Start(Program& program)
    {
        ShowIcon();
        Attach(program);
    }
    QMenu& PopMenu() { return menu_; }
    QAction* Item(const char* name) const; // by object name, e.g. "CloseApp"
    bool Waiting() const { return wait_.isActive(); }
    // The icon stands in a notification area now.
    bool IconShown();

private:
    void HostWaitOver();

    Program* program_ = nullptr;
    TrayIcon& icon_;
    QMenu menu_;
    QTimer wait_;
};

} // namespace remindo
