#include "platform/core/screensaver.h"

#ifdef QT_DBUS_LIB
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QString>
#endif

namespace remindo {

bool DBusScreenSaver::ScreenSaverRunning()
{
#ifdef QT_DBUS_LIB
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    const QString service = QString::fromStdString(service_);
    // The freedesktop path first; some desktops serve the interface only at /ScreenSaver.
    for (const char* path : {"/org/freedesktop/ScreenSaver", "/ScreenSaver"}) {
        QDBusMessage call = QDBusMessage::createMethodCall(service, QString::fromLatin1(path),
                                                           QStringLiteral("org.freedesktop.ScreenSaver"),
                                                           QStringLiteral("GetActive"));
        const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs_);
        if (reply.type() == QDBusMessage::ReplyMessage) {
            const QList<QVariant> args = reply.arguments();
            return !args.isEmpty() && args.first().typeId() == QMetaType::Bool && args.first().toBool();
        }
        const QString error = reply.errorName();
        if (error != QLatin1String("org.freedesktop.DBus.Error.UnknownObject") &&
            error != QLatin1String("org.freedesktop.DBus.Error.UnknownMethod") &&
            error != QLatin1String("org.freedesktop.DBus.Error.UnknownInterface"))
            return false; // no service, no answer in time, or anything else
    }
    return false;
#else
    return false;
#endif
}

} // namespace remindo
