// The yardstick for tools/footprint.sh: a Qt 6 program that does nothing but
// show an icon in the notification area.
#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QPixmap pixmap(64, 64);
    pixmap.fill(QColor(52, 116, 182));
    QSystemTrayIcon icon{QIcon(pixmap)};
    icon.show();
    return app.exec();
}
