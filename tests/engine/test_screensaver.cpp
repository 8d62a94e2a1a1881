#include "platform/core/screensaver.h"

#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

using namespace remindo;

namespace {

// A screen saver on the test's own bus, served from its own thread so that
// the blocking query in the test thread can be answered.
class FakeSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    bool active = false;
    int delayMs = 0;
public slots:
    bool GetActive()
    {
        if (delayMs)
            QThread::msleep(ulong(delayMs));
        return active;
    }
};

class GnomeSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.ScreenSaver")
public:
    explicit GnomeSaver(bool a = false) : active(a) {}
    bool active;
public slots:
    bool GetActive() { return active; }
};

// logind's session, as far as the lock goes.
class LogindSession : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Session")
    Q_PROPERTY(bool LockedHint READ LockedHint)
public:
    explicit LogindSession(bool l = false) : locked(l) {}
    bool locked;
    bool LockedHint() const { return locked; }
};

class WrongSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public slots:
    QString GetActive() { return QStringLiteral("yes"); }
};

} // namespace

class TestScreenSaver : public QObject {
    Q_OBJECT
    QProcess daemon_;
    QThread serving_;
    QString address_;
    std::vector<QObject*> objects_;

    // Each fake service on a connection of its own.
    void Serve(const QString& name, const QString& path, QObject* obj)
    {
        obj->moveToThread(&serving_);
        objects_.push_back(obj);
        QDBusConnection c = QDBusConnection::connectToBus(address_, name);
        QVERIFY(c.isConnected());
        QVERIFY(c.registerService(name));
        QVERIFY(c.registerObject(path, obj, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties));
    }

private slots:
    void noSessionBus()
    {
        if (qEnvironmentVariableIsEmpty("REMINDO_TEST_NO_BUS"))
            QSKIP("run on its own, with no session bus");
        DBusScreenSaver saver;
        QCOMPARE(saver.ScreenSaverRunning(), false);
        QCOMPARE(saver.ScreenSaverRunning(), false);
    }

    void answersFromTheBus()
    {
        if (!qEnvironmentVariableIsEmpty("REMINDO_TEST_NO_BUS"))
            QSKIP("needs a bus");
        const QString exe = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (exe.isEmpty())
            QSKIP("dbus-daemon is not installed");
        daemon_.start(exe, {"--session", "--nofork", "--print-address=1"});
        QVERIFY(daemon_.waitForStarted());
        QVERIFY(daemon_.waitForReadyRead(10000));
        const QByteArray address = daemon_.readLine().trimmed();
        QVERIFY(!address.isEmpty());
        qputenv("DBUS_SESSION_BUS_ADDRESS", address); // before the first use of the session bus
        address_ = QString::fromUtf8(address);
        serving_.start();

        auto* on = new FakeSaver;
        on->active = true;
        Serve("org.remindo.test.On", "/org/freedesktop/ScreenSaver", on);
        Serve("org.remindo.test.Off", "/org/freedesktop/ScreenSaver", new FakeSaver);
        auto* kde = new FakeSaver;
        kde->active = true;
        Serve("org.remindo.test.OtherPath", "/ScreenSaver", kde);
        auto* slow = new FakeSaver;
        slow->active = true;
        slow->delayMs = 1500;
        Serve("org.remindo.test.Slow", "/org/freedesktop/ScreenSaver", slow);
        Serve("org.remindo.test.Wrong", "/org/freedesktop/ScreenSaver", new WrongSaver);

        for (const bool on : {true, false}) {
            Serve(on ? "org.remindo.test.Gnome" : "org.remindo.test.GnomeOff", "/org/gnome/ScreenSaver",
                  new GnomeSaver(on));
            Serve(on ? "org.remindo.test.Locked" : "org.remindo.test.Unlocked",
                  "/org/freedesktop/login1/session/auto", new LogindSession(on));
        }

        DBusScreenSaver saver(200);
        saver.SetSystemBus(QDBusConnection::sessionBus()); // logind on the test's bus too
        auto ask = [&](const char* service) {
            saver.SetServices({service, "org.remindo.test.Nobody", "org.remindo.test.Nobody"});
            return saver.ScreenSaverRunning();
        };
        // The three answers: the first service that answers decides. Before
        // the slow one below, which keeps the serving thread busy.
        const struct {
            const char *freedesktop, *gnome, *logind;
            bool running;
        } order[] = {
            {"Nobody", "Gnome", "Unlocked", true},   // GNOME: no freedesktop service
            {"Nobody", "GnomeOff", "Locked", false}, // GNOME's answer stands
            {"Nobody", "Nobody", "Locked", true},    // logind where neither answers
            {"Nobody", "Nobody", "Unlocked", false},
            {"Off", "Gnome", "Locked", false},       // freedesktop first
        };
        for (const auto& o : order) {
            const auto name = [](const char* n) { return std::string("org.remindo.test.") + n; };
            saver.SetServices({name(o.freedesktop), name(o.gnome), name(o.logind)});
            QVERIFY2(saver.ScreenSaverRunning() == o.running,
                     qPrintable(QStringLiteral("%1/%2/%3").arg(o.freedesktop, o.gnome, o.logind)));
        }

        QCOMPARE(ask("org.remindo.test.On"), true);
        QCOMPARE(ask("org.remindo.test.Off"), false);
        QCOMPARE(ask("org.remindo.test.OtherPath"), true);
        QCOMPARE(ask("org.remindo.test.Slow"), false); // no answer in time
        QCOMPARE(ask("org.remindo.test.Wrong"), false);
        QCOMPARE(ask("org.remindo.test.Nobody"), false);
    }

    void cleanupTestCase()
    {
        serving_.quit();
        serving_.wait();
        for (QObject* o : objects_)
            delete o;
        if (daemon_.state() != QProcess::NotRunning) {
            daemon_.terminate();
            daemon_.waitForFinished(5000);
        }
    }
};

QTEST_GUILESS_MAIN(TestScreenSaver)
#include "test_screensaver.moc"
