#include "platform/gui/desktop.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace remindo {

WorkArea QtDesktop::GetWorkArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {0, 0, 1024, 768};
    const QRect r = screen->availableGeometry();
    return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

void QtDesktop::Move(QWidget& window, QPoint topLeft)
{
    window.move(topLeft);
}

void QtDesktop::BringToFront(QWidget& window)
{
    window.raise();
    window.activateWindow();
}

void QtDesktop::Raise(QWidget& window)
{
    window.raise();
}

} // namespace remindo
