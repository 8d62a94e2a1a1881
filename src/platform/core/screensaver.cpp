#include "platform/core/screensaver.h"

#include <QDBusMessage>
#include <QDBusVariant>
#include <QString>

#include <optional>

namespace remindo {

namespace {

bool NobodyThere(const QString& error)
{
    // The service, object or method is not there: ask the next one. Any other
    // error (no answer in time included) is an answer of sorts: not running.
    static const char* const absent[] = {
        "org.freedesktop.DBus.Error.ServiceUnknown", "org.freedesktop.DBus.Error.NameHasNoOwner",
        "org.freedesktop.DBus.Error.UnknownObject",  "org.freedesktop.DBus.Error.UnknownMethod",
        "org.freedesktop.DBus.Error.UnknownInterface",
    };
    for (const char* a : absent)
        if (error == QLatin1String(a))
            return true;
    return false;
}

// The answer of one call: a boolean, "not running" for a wrong or late
// answer, nothing when nobody serves it.
std::optional<bool> Ask(const QDBusConnection& bus, int timeoutMs, const std::string& service, const char* path,
                        const char* iface, const char* member, const QList<QVariant>& args = {})
{
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromStdString(service), QLatin1String(path),
                                                       QLatin1String(iface), QLatin1String(member));
    call.setAutoStartService(false);
    call.setArguments(args);
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage) {
        const QList<QVariant> out = reply.arguments();
        QVariant v = out.isEmpty() ? QVariant() : out.first();
        if (v.canConvert<QDBusVariant>() && v.userType() == qMetaTypeId<QDBusVariant>())
            v = v.value<QDBusVariant>().variant();
        return v.typeId() == QMetaType::Bool && v.toBool();
    }
    if (NobodyThere(reply.errorName()))
        return std::nullopt;
    return false;
}

} // namespace

DBusScreenSaver::DBusScreenSaver(int timeoutMs)
    : timeoutMs_(timeoutMs), system_(QDBusConnection::systemBus())
{
}

bool DBusScreenSaver::ScreenSaverRunning()
{
    const QDBusConnection session = QDBusConnection::sessionBus();
    if (session.isConnected()) {
        // The freedesktop path first; some desktops serve the interface only at /ScreenSaver.
        for (const char* path : {"/org/freedesktop/ScreenSaver", "/ScreenSaver"})
            if (const auto a = Ask(session, timeoutMs_, services_.freedesktop, path, "org.freedesktop.ScreenSaver",
                                   "GetActive"))
                return *a;
        if (const auto a = Ask(session, timeoutMs_, services_.gnome, "/org/gnome/ScreenSaver",
                               "org.gnome.ScreenSaver", "GetActive"))
            return *a;
    }
    if (system_.isConnected())
        // logind resolves "auto" to the caller's session, or the user's
        // graphical one.
        if (const auto a = Ask(system_, timeoutMs_, services_.logind, "/org/freedesktop/login1/session/auto",
                               "org.freedesktop.DBus.Properties", "Get",
                               {QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("LockedHint")}))
            return *a;
    return false;
}

} // namespace remindo
