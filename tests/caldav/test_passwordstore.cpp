// The password store on a real Secret Service (gnome-keyring on a private
// bus, session.sh keyring), and its refusal where none answers (session.sh
// no-keyring) or where there is no session bus at all.
//   REMINDO_TEST_KEYRING=present | absent | no-bus
#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTest>

#include "platform/net/passwordstore.h"

using namespace remindo::net;

namespace {

const std::string kServer = "https://dav.example.com/";

// Files under the test's XDG folders (the keyring's own encrypted files
// left out) that hold `secret` in plain text.
QStringList FilesHolding(const QByteArray& secret)
{
    QStringList found;
    const QString keyrings = qEnvironmentVariable("XDG_DATA_HOME") + "/keyrings";
    for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"}) {
        QDirIterator it(qEnvironmentVariable(var), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.startsWith(keyrings))
                continue;
            QFile f(path);
            if (f.open(QIODevice::ReadOnly) && f.readAll().contains(secret))
                found << path;
        }
    }
    return found;
}

} // namespace

class TestPasswordStore : public QObject {
    Q_OBJECT
    const QString mode_ = qEnvironmentVariable("REMINDO_TEST_KEYRING");

private slots:
    void initTestCase()
    {
        QVERIFY2(mode_ == "present" || mode_ == "absent" || mode_ == "no-bus", "REMINDO_TEST_KEYRING");
        if (mode_ == "no-bus")
            QVERIFY(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"));
    }

    void storesReadsAndRemoves()
    {
        if (mode_ != "present")
            QSKIP("needs the Secret Service");
        PasswordStore store(std::chrono::seconds(20));
        const std::string first = "hasło:Żółw 1 \"'$\\";
        QVERIFY(store.Store(kServer, "jan", first).ok());
        QVERIFY(store.Store(kServer, "ola", "Inne-hasło-Oli-5").ok());
        const KeyringResult read = store.Read(kServer, "jan");
        QVERIFY2(read.ok(), read.message.c_str());
        QCOMPARE(read.password, first);
        QCOMPARE(store.Read("https://other.example.com/", "jan").outcome, KeyringOutcome::NotFound);

        QVERIFY(store.Store(kServer, "jan", "Zupełnie-nowe-7").ok());
        QCOMPARE(store.Read(kServer, "jan").password, std::string("Zupełnie-nowe-7"));
        QCOMPARE(store.Read(kServer, "ola").password, std::string("Inne-hasło-Oli-5"));

        // In the Secret Service itself, where any of its clients finds it...
        QProcess lookup;
        lookup.start("secret-tool", {"lookup", "server", PasswordStore::Service(), "user",
                                     QString::fromStdString(PasswordStore::Key(kServer, "jan"))});
        QVERIFY(lookup.waitForFinished(20000));
        QCOMPARE(QString::fromUtf8(lookup.readAllStandardOutput()).trimmed(), QString::fromUtf8("Zupełnie-nowe-7"));
        // ...and in no file of ours.
        QCOMPARE(FilesHolding("Zupełnie-nowe-7"), QStringList());

        QVERIFY(store.Remove(kServer, "jan").ok());
        QCOMPARE(store.Read(kServer, "jan").outcome, KeyringOutcome::NotFound);
        QVERIFY(store.Remove(kServer, "jan").ok()); // nothing there: nothing to do
        QCOMPARE(store.Read(kServer, "ola").password, std::string("Inne-hasło-Oli-5"));
        QVERIFY(store.Remove(kServer, "ola").ok());
    }

    // One line that says what is missing, and the password nowhere.
    void refusesWithoutASecretService()
    {
        if (mode_ == "present")
            QSKIP("has a Secret Service");
        PasswordStore store(std::chrono::seconds(20));
        const KeyringResult stored = store.Store(kServer, "jan", "Nie-zapisuj-mnie-3");
        QCOMPARE(stored.outcome, KeyringOutcome::NoService);
        QVERIFY2(stored.message.find(mode_ == "no-bus" ? "session bus" : "Secret Service") != std::string::npos,
                 stored.message.c_str());
        QVERIFY(stored.message.find('\n') == std::string::npos);
        QCOMPARE(store.Read(kServer, "jan").outcome, KeyringOutcome::NoService);
        QCOMPARE(store.Remove(kServer, "jan").outcome, KeyringOutcome::NoService);
        QCOMPARE(FilesHolding("Nie-zapisuj-mnie-3"), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestPasswordStore)
#include "test_passwordstore.moc"
