#include "platform/net/passwordstore.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <qt6keychain/keychain.h>

#include <remindo_version.h>

#include <functional>
#include <memory>

namespace remindo::net {
namespace {

constexpr const char* kSecrets = "org.freedesktop.secrets";

// What is missing, in one line, when no keyring can answer; empty when one may.
std::string MissingService()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return "no D-Bus session bus, through which the Secret Service (gnome-keyring, KeePassXC) is reached";
    QDBusConnectionInterface* names = bus.interface();
    if (!names)
        return "the D-Bus session bus does not answer";
    if (names->isServiceRegistered(QString::fromLatin1(kSecrets)))
        return {};
    const QDBusReply<QStringList> activatable = names->activatableServiceNames();
    if (activatable.isValid() && activatable.value().contains(QString::fromLatin1(kSecrets)))
        return {};
    // Qt Keychain's road on KDE, where the wallet may not offer the Secret Service.
    for (const char* wallet : {"org.kde.kwalletd6", "org.kde.kwalletd5"})
        if (names->isServiceRegistered(QString::fromLatin1(wallet)))
            return {};
    return "no Secret Service (org.freedesktop.secrets) on the session bus: start gnome-keyring or KeePassXC";
}

KeyringResult Result(KeyringOutcome outcome, std::string message = {})
{
    KeyringResult r;
    r.outcome = outcome;
    r.message = std::move(message);
    return r;
}

// Starts `job` and waits for it, at most `limit`. The job deletes itself when
// it ends, even after the wait has been given up.
KeyringResult Run(QKeychain::Job* job, std::chrono::milliseconds limit)
{
    if (const std::string missing = MissingService(); !missing.empty()) {
        delete job;
        return Result(KeyringOutcome::NoService, missing);
    }
    job->setInsecureFallback(false);
    job->setAutoDelete(true);
    auto answer = std::make_shared<KeyringResult>();
    auto finished = std::make_shared<bool>(false);
    QEventLoop loop;
    QObject::connect(job, &QKeychain::Job::finished, &loop, [answer, finished, &loop](QKeychain::Job* j) {
        *finished = true;
        switch (j->error()) {
        case QKeychain::NoError:
            if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(j))
                answer->password = read->textData().toStdString();
            break;
        case QKeychain::EntryNotFound:
            *answer = Result(KeyringOutcome::NotFound, "no password stored for that server and user");
            break;
        case QKeychain::NoBackendAvailable:
            *answer = Result(KeyringOutcome::NoService,
                             "no Secret Service answers: " + j->errorString().simplified().toStdString());
            break;
        default:
            *answer = Result(KeyringOutcome::Failed,
                             "the keyring refused: " + j->errorString().simplified().toStdString());
        }
        loop.quit();
    });
    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    job->start();
    if (!*finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!*finished)
        return Result(KeyringOutcome::Failed,
                      "the keyring did not answer within " + std::to_string(limit.count() / 1000) +
                          " s (locked, waiting for its password?)");
    if (answer->outcome == KeyringOutcome::Failed)
        // A service that vanished between the look and the call.
        if (const std::string missing = MissingService(); !missing.empty())
            return Result(KeyringOutcome::NoService, missing);
    return *answer;
}

// Qt Keychain keeps its queue of jobs in an object of the thread that first
// starts one, and a job started from another thread races with that queue
// (a crash the sanitizer showed: the program's network thread and a window
// using the store one after the other). Every job therefore runs on one
// thread of the store's own, which lasts as long as the process.
QObject& KeyringContext()
{
    static QObject* context = [] {
        auto* thread = new QThread;
        thread->setObjectName(QStringLiteral("keyring"));
        thread->start();
        auto* o = new QObject;
        o->moveToThread(thread);
        return o;
    }();
    return *context;
}

KeyringResult OnKeyringThread(const std::function<KeyringResult()>& work)
{
    QObject& context = KeyringContext();
    if (QThread::currentThread() == context.thread())
        return work();
    KeyringResult result;
    QMetaObject::invokeMethod(&context, [&] { result = work(); }, Qt::BlockingQueuedConnection);
    return result;
}

} // namespace

PasswordStore::PasswordStore(std::chrono::milliseconds limit) : limit_(limit) {}

const char* PasswordStore::Service() { return REMINDO_APP_ID; }

std::string PasswordStore::Key(std::string_view server, std::string_view user)
{
    return std::string(user) + "@" + std::string(server);
}

KeyringResult PasswordStore::Store(std::string_view server, std::string_view user, std::string_view password)
{
    return OnKeyringThread([&] {
        auto* job = new QKeychain::WritePasswordJob(QString::fromLatin1(Service()));
        job->setKey(QString::fromStdString(Key(server, user)));
        job->setTextData(QString::fromUtf8(password.data(), qsizetype(password.size())));
        return Run(job, limit_);
    });
}

KeyringResult PasswordStore::Read(std::string_view server, std::string_view user)
{
    return OnKeyringThread([&] {
        auto* job = new QKeychain::ReadPasswordJob(QString::fromLatin1(Service()));
        job->setKey(QString::fromStdString(Key(server, user)));
        return Run(job, limit_);
    });
}

KeyringResult PasswordStore::Remove(std::string_view server, std::string_view user)
{
    return OnKeyringThread([&] {
        auto* job = new QKeychain::DeletePasswordJob(QString::fromLatin1(Service()));
        job->setKey(QString::fromStdString(Key(server, user)));
        return Run(job, limit_);
    });
}

} // namespace remindo::net
