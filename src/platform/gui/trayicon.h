#pragma once
// The program's icon in the desktop's notification area, with its menu.

#include <functional>

class QMenu;

namespace remindo {

class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    // Puts the icon up with `menu` on the right button; `onClick` runs on a
    // left click. An icon put up while no notification area exists appears
    // when one comes.
    virtual void Show(QMenu* menu, std::function<void()> onClick) = 0;
    // A notification area is there to hold the icon.
    virtual bool HostAvailable() = 0;
};

// QSystemTrayIcon with the painted icon and no tooltip.
class QtTrayIcon final : public TrayIcon {
public:
    QtTrayIcon();
    ~QtTrayIcon() override;
    void Show(QMenu* menu, std::function<void()> onClick) override;
    bool HostAvailable() override;

private:
    struct Impl;
    Impl* impl_;
};

} // namespace remindo
