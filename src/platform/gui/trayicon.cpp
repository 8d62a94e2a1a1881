#include "platform/gui/trayicon.h"

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

namespace remindo {

struct QtTrayIcon::Impl {
    QSystemTrayIcon icon;
};

QtTrayIcon::QtTrayIcon() : impl_(new Impl) {}

QtTrayIcon::~QtTrayIcon()
{
    delete impl_;
}

void QtTrayIcon::Show(QMenu* menu, std::function<void()> onClick)
{
    QIcon icon(QStringLiteral(":/pictures/remindo.png"));
    impl_->icon.setIcon(icon);
    impl_->icon.setContextMenu(menu);
    QObject::connect(&impl_->icon, &QSystemTrayIcon::activated, &impl_->icon,
                     [onClick = std::move(onClick)](QSystemTrayIcon::ActivationReason why) {
                         // A left click; the right button opens the menu by itself.
                         if (why == QSystemTrayIcon::Trigger && onClick)
                             onClick();
                     });
    impl_->icon.show();
}

bool QtTrayIcon::HostAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

} // namespace remindo
