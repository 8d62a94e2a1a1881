#pragma once
// The sync tests' real parts, driven from a test: Radicale, the phone
// (python3-caldav) and the misbehaving proxy, all under tests/caldav.

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

namespace remindo::test {

inline const QString kPython = QStringLiteral("/usr/bin/python3");

inline QString HarnessScript(const QString& name)
{
    return QStringLiteral(REMINDO_CALDAV_HARNESS "/") + name;
}

// Runs a harness script to its end; its standard output, trimmed, or nothing
// when it failed (its error output then goes to the test's log).
inline std::optional<QString> RunScript(const QString& script, const QStringList& args, int limitMs = 120000)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(kPython, QStringList{HarnessScript(script)} + args);
    if (!p.waitForFinished(limitMs) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning("%s %s failed: %s", qPrintable(script), qPrintable(args.join(' ')),
                 p.readAllStandardError().constData());
        p.kill();
        p.waitForFinished();
        return std::nullopt;
    }
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// One Radicale in a folder of its own under the session's work folder
// (session.sh stops whatever is left there).
class Radicale {
public:
    Radicale(QString user, QString password) : user_(std::move(user)), password_(std::move(password))
    {
        const QString work = qEnvironmentVariable("REMINDO_SYNC_WORK");
        if (work.isEmpty()) {
            own_ = std::make_unique<QTemporaryDir>();
            dir_ = own_->path() + "/radicale";
        } else {
            dir_ = QDir(work).filePath(QStringLiteral("radicale-%1").arg(quintptr(this), 0, 16));
        }
    }
    ~Radicale() { Stop(); }

    bool Start()
    {
        url_ = RunScript("radicale_server.py", {"start", dir_, user_, password_}).value_or(QString());
        return !url_.isEmpty();
    }
    bool Restart() { return RunScript("radicale_server.py", {"restart", dir_}).has_value(); }
    bool Kill() { return RunScript("radicale_server.py", {"kill", dir_}).has_value(); }
    void Stop() { RunScript("radicale_server.py", {"stop", dir_}); }
    bool Seed(const QString& name, int count)
    {
        return RunScript("radicale_server.py", {"seed", dir_, user_, name, QString::number(count)}).has_value();
    }

    QString Url() const { return url_; } // "http://127.0.0.1:PORT/"
    int Port() const { return url_.section(':', 2).section('/', 0, 0).toInt(); }
    QString Dir() const { return dir_; }
    QString User() const { return user_; }
    QString Password() const { return password_; }

private:
    QString user_, password_, dir_, url_;
    std::unique_ptr<QTemporaryDir> own_;
};

// The phone: adds, edits, deletes and lists events on the same calendar.
inline bool Phone(const Radicale& server, const QString& calendar, const QStringList& args)
{
    return RunScript("phone.py", QStringList{calendar, server.User(), server.Password()} + args).has_value();
}

// proxy.py, serving while the object lives.
class Proxy {
public:
    explicit Proxy(const QStringList& args)
    {
        process_.start(kPython, QStringList{HarnessScript("proxy.py")} + args);
        if (process_.waitForStarted() && process_.waitForReadyRead(30000))
            port_ = QString::fromUtf8(process_.readLine()).trimmed().toInt();
    }
    ~Proxy()
    {
        process_.kill();
        process_.waitForFinished();
    }
    int Port() const { return port_; }

private:
    QProcess process_;
    int port_ = 0;
};

} // namespace remindo::test
