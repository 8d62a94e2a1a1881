#include "platform/core/appbus.h"

#include "remindo_version.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QFile>
#include <QVariantMap>

namespace remindo {

namespace {

const QString kStandard = QStringLiteral("org.freedesktop.Application");

QString Name()
{
    return QStringLiteral(REMINDO_APP_ID);
}

} // namespace

// Served by hand rather than through moc-made adaptors: the interfaces are
// small and fixed, and the introspection below is what gdbus and the
// desktops read.
class BusService::Object final : public QDBusVirtualObject {
public:
    explicit Object(RemoteHandler& h) : handler_(h) {}

    QString introspect(const QString&) const override
    {
        return QStringLiteral(
            "<interface name=\"org.freedesktop.Application\">"
            "<method name=\"Activate\"><arg type=\"a{sv}\" name=\"platform_data\" direction=\"in\"/></method>"
            "<method name=\"Open\"><arg type=\"as\" name=\"uris\" direction=\"in\"/>"
            "<arg type=\"a{sv}\" name=\"platform_data\" direction=\"in\"/></method>"
            "<method name=\"ActivateAction\"><arg type=\"s\" name=\"action_name\" direction=\"in\"/>"
            "<arg type=\"av\" name=\"parameter\" direction=\"in\"/>"
            "<arg type=\"a{sv}\" name=\"platform_data\" direction=\"in\"/></method>"
            "</interface>"
            "<interface name=\"pl.vendly.Remindo\">"
            "<method name=\"HasTrayIcon\"><arg type=\"b\" direction=\"out\"/></method>"
            "<method name=\"RunAction\"><arg type=\"s\" name=\"action_name\" direction=\"in\"/>"
            "<arg type=\"s\" name=\"in_the_way\" direction=\"out\"/></method>"
            "<method name=\"ReloadData\"><arg type=\"ay\" name=\"path\" direction=\"in\"/>"
            "<arg type=\"i\" direction=\"out\"/></method>"
            "</interface>");
    }

    bool handleMessage(const QDBusMessage& m, const QDBusConnection& bus) override
    {
        const QString iface = m.interface();
        const QString member = m.member();
        const QString sig = m.signature();
        QDBusMessage reply;
        if ((iface == kStandard || iface.isEmpty()) && member == QLatin1String("Activate") && sig == "a{sv}") {
            handler_.Activate();
            reply = m.createReply();
        } else if ((iface == kStandard || iface.isEmpty()) && member == QLatin1String("Open") && sig == "asa{sv}") {
            handler_.Activate(); // no documents: opening anything shows the list
            reply = m.createReply();
        } else if ((iface == kStandard || iface.isEmpty()) && member == QLatin1String("ActivateAction") &&
                   sig == "sava{sv}") {
            const QString name = m.arguments().value(0).toString();
            reply = handler_.ActivateAction(name.toStdString()).known ? m.createReply() : NoSuchAction(m, name);
        } else if (iface == QLatin1String(kOwnInterface) && member == QLatin1String("RunAction") && sig == "s") {
            const QString name = m.arguments().value(0).toString();
            const ActionAnswer a = handler_.ActivateAction(name.toStdString());
            reply = a.known ? m.createReply(QString::fromStdString(a.inTheWay)) : NoSuchAction(m, name);
        } else if (iface == QLatin1String(kOwnInterface) && member == QLatin1String("HasTrayIcon") && sig.isEmpty()) {
            reply = m.createReply(handler_.HasTrayIcon());
        } else if (iface == QLatin1String(kOwnInterface) && member == QLatin1String("ReloadData") && sig == "ay") {
            const QByteArray path = m.arguments().value(0).toByteArray();
            reply = m.createReply(int(handler_.ReloadData(path.toStdString())));
        } else {
            return false; // the bus answers UnknownMethod
        }
        bus.send(reply);
        return true;
    }

private:
    static QDBusMessage NoSuchAction(const QDBusMessage& m, const QString& name)
    {
        return m.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
                                  QStringLiteral("no such action: ") + name);
    }

    RemoteHandler& handler_;
};

BusService::BusService(RemoteHandler& handler) : object_(std::make_unique<Object>(handler)) {}

BusService::~BusService()
{
    if (bus_) {
        bus_->unregisterObject(QLatin1String(kBusPath));
        bus_->unregisterService(Name());
    }
}

bool BusService::Register(QDBusConnection bus)
{
    if (!bus.isConnected()) {
        qInfo("no session bus: the running copy cannot be reached from outside");
        return false;
    }
    if (!bus.registerVirtualObject(QLatin1String(kBusPath), object_.get())) {
        qWarning("cannot serve %s on the session bus", kBusPath);
        return false;
    }
    bus_ = bus;
    if (!bus.registerService(Name())) {
        qWarning("the bus name %s belongs to another program", REMINDO_APP_ID);
        return false;
    }
    return true;
}

BusClient::BusClient(QDBusConnection bus, int timeoutMs) : bus_(std::move(bus)), timeoutMs_(timeoutMs) {}

namespace {

QDBusMessage Call(const QDBusConnection& bus, int timeoutMs, const QString& iface, const char* member,
                  const QList<QVariant>& args = {})
{
    QDBusMessage m = QDBusMessage::createMethodCall(Name(), QLatin1String(kBusPath), iface, QLatin1String(member));
    m.setAutoStartService(false);
    m.setArguments(args);
    return bus.call(m, QDBus::Block, timeoutMs);
}

} // namespace

bool BusClient::Reachable() const
{
    return bus_.isConnected() && bus_.interface() && bus_.interface()->isServiceRegistered(Name()).value();
}

std::optional<bool> BusClient::HasTrayIcon() const
{
    if (!bus_.isConnected())
        return std::nullopt;
    const QDBusMessage r = Call(bus_, timeoutMs_, QLatin1String(kOwnInterface), "HasTrayIcon");
    if (r.type() != QDBusMessage::ReplyMessage || r.arguments().size() != 1)
        return std::nullopt;
    return r.arguments().first().toBool();
}

bool BusClient::ActivateAction(const std::string& name) const
{
    return bus_.isConnected() && Call(bus_, timeoutMs_, kStandard, "ActivateAction",
                                      {QString::fromStdString(name), QVariantList(), QVariantMap()})
                                         .type() == QDBusMessage::ReplyMessage;
}

std::optional<std::string> BusClient::RunAction(const std::string& name) const
{
    if (!bus_.isConnected())
        return std::nullopt;
    const QDBusMessage r =
        Call(bus_, timeoutMs_, QLatin1String(kOwnInterface), "RunAction", {QString::fromStdString(name)});
    if (r.type() == QDBusMessage::ReplyMessage && r.arguments().size() == 1)
        return r.arguments().first().toString().toStdString();
    // A copy from before this call (UnknownMethod, or UnknownInterface
    // where the bus words it so) is asked the standard way.
    if (r.type() == QDBusMessage::ErrorMessage &&
        r.errorName().startsWith(QLatin1String("org.freedesktop.DBus.Error.Unknown")) && ActivateAction(name))
        return std::string();
    return std::nullopt;
}

std::optional<ReloadAnswer> BusClient::ReloadData(const std::string& path) const
{
    if (!bus_.isConnected())
        return std::nullopt;
    const QDBusMessage r =
        Call(bus_, timeoutMs_, QLatin1String(kOwnInterface), "ReloadData", {QByteArray::fromStdString(path)});
    if (r.type() != QDBusMessage::ReplyMessage || r.arguments().size() != 1)
        return std::nullopt;
    const int a = r.arguments().first().toInt();
    if (a < 0 || a > int(ReloadAnswer::OtherFile))
        return std::nullopt;
    return ReloadAnswer(a);
}

} // namespace remindo
