// The per-user instance lock on real lock files (a holder killed with
// SIGKILL included, another user's planted file) and the choice of the Qt
// platform for the session.

#include "platform/core/displaysession.h"
#include "platform/core/instancelock.h"
#include "platform/core/qtpolish.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace remindo;

namespace {

// Whether a process of the user `asUser` takes the lock at `path`: 1 yes,
// 0 no, -1 when it could not become that user.
int AcquiredAs(const std::string& path, uid_t asUser)
{
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(asUser) != 0 || setuid(asUser) != 0)
            _exit(3);
        LockFileInstance ours(path);
        _exit(ours.Acquire() ? 1 : 0);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return -1;
    return WEXITSTATUS(status);
}

// A process that takes the lock at `path` (as the user `asUser`, making
// the file open to all, when given) and holds it until killed. Answers its
// pid, or -1 when it could not take the lock.
pid_t Holder(const std::string& path, uid_t asUser = 0)
{
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        LockFileInstance held(path);
        bool ok = true;
        if (asUser) {
            umask(0);
            ok = setgid(asUser) == 0 && setuid(asUser) == 0;
        }
        ok = ok && held.Acquire() && (!asUser || ::chmod(path.c_str(), 0666) == 0);
        const char c = ok ? '1' : '0';
        (void)!write(ready[1], &c, 1);
        for (;;)
            pause();
    }
    char c = 0;
    const bool ok = child > 0 && read(ready[0], &c, 1) == 1 && c == '1';
    close(ready[0]);
    close(ready[1]);
    if (!ok && child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    return ok ? child : -1;
}

} // namespace

class TestDesktopServices : public QObject {
    Q_OBJECT

private slots:
    void secondHolderIsRefusedWithoutTouchingTheLock()
    {
        QTemporaryDir dir;
        const std::string path = QFile::encodeName(dir.filePath("Remindo.lock")).toStdString();
        LockFileInstance first(path);
        QVERIFY(first.Acquire());
        QVERIFY(first.Acquire()); // asking again keeps it
        QFile f(QString::fromStdString(path));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const QDateTime written = QFileInfo(f).lastModified();

        LockFileInstance second(path);
        QVERIFY(!second.Acquire());
        QCOMPARE(QFileInfo(f).lastModified(), written);
        f.seek(0);
        QCOMPARE(f.readAll(), bytes);
    }

    void aKilledHolderLeavesTheLockFree()
    {
        QTemporaryDir dir;
        const std::string path = QFile::encodeName(dir.filePath("Remindo.lock")).toStdString();
        const pid_t child = Holder(path);
        QVERIFY(child > 0);
        LockFileInstance other(path);
        QVERIFY(!other.Acquire()); // held by a running process

        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        QVERIFY(QFile::exists(QString::fromStdString(path))); // left behind ...
        QVERIFY(other.Acquire());     // ... and taken over at once
    }

    void aLockThatCannotBeMadeDoesNotPassForAnotherCopy()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath("not-a-folder"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        LockFileInstance lock(QFile::encodeName(dir.filePath("not-a-folder/Remindo.lock")).toStdString());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot create the lock file"));
        QVERIFY(lock.Acquire());
    }

    void lockLivesInTheDataFolderWhateverTheSessionSays()
    {
        // A copy started with another XDG_RUNTIME_DIR (or none, with another
        // TMPDIR) must find the same lock, the one beside the data.
        QTemporaryDir data;
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
        const std::string expected = QFile::encodeName(data.path()).toStdString() + "/Vendly/Remindo/Remindo.lock";
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", "/run/user/a");
        QCOMPARE(LockFileInstance::ForUser(), expected);
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", "/var/tmp");
        QCOMPARE(LockFileInstance::ForUser(), expected);
        qunsetenv("TMPDIR");
        qputenv("XDG_RUNTIME_DIR", runtime);
        qputenv("XDG_DATA_HOME", saved);
    }

    // A link where the lock file belongs is never followed: the file it
    // names is neither made nor locked, and its holder stops no start.
    void aLinkInTheLocksPlaceIsNotFollowed()
    {
        QTemporaryDir dir, elsewhere;
        const std::string path = QFile::encodeName(dir.filePath("Remindo.lock")).toStdString();
        const std::string named = QFile::encodeName(elsewhere.filePath("named")).toStdString();
        QVERIFY(::symlink(named.c_str(), path.c_str()) == 0);
        {
            LockFileInstance dangling(path);
            QVERIFY(dangling.Acquire());
        }
        QVERIFY(!QFileInfo::exists(QString::fromStdString(named)));

        const pid_t holder = Holder(named);
        QVERIFY(holder > 0);
        LockFileInstance ours(path);
        const bool started = ours.Acquire();
        kill(holder, SIGKILL);
        waitpid(holder, nullptr, 0);
        QVERIFY(started);
    }

    // Someone else's lock file, theirs, world-writable and held, in a folder
    // open to everyone (as an old umask-000 folder was): we start all the
    // same, as root and as a normal user.
    void anotherUsersPlantedLockDoesNotStopUs_data()
    {
        QTest::addColumn<uint>("us"); // 0: this process, root
        QTest::addColumn<uint>("theirs");
        QTest::newRow("root, nobody's lock") << 0u << 65534u;
        QTest::newRow("a normal user, another user's lock") << 65534u << 65533u;
    }

    void anotherUsersPlantedLockDoesNotStopUs()
    {
        QFETCH(uint, us);
        QFETCH(uint, theirs);
        if (geteuid() != 0)
            QSKIP("needs root, to act as two other users (CI runs as root)");
        QTemporaryDir dir;
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0777) == 0);
        const std::string path = QFile::encodeName(dir.filePath("Remindo.lock")).toStdString();
        const pid_t child = Holder(path, theirs);
        QVERIFY(child > 0);
        bool started = false;
        if (us == 0) {
            LockFileInstance ours(path);
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("belongs to another user"));
            started = ours.Acquire();
        } else {
            const int taken = AcquiredAs(path, us);
            if (taken < 0) {
                kill(child, SIGKILL);
                waitpid(child, nullptr, 0);
                QSKIP("cannot run a child as a normal user here");
            }
            started = taken == 1;
        }
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        QVERIFY(started);
    }

    void platformForTheSession_data()
    {
        QTest::addColumn<QByteArray>("qpa");
        QTest::addColumn<QByteArray>("session");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("x11");
        QTest::addColumn<QByteArray>("chosen");
        QTest::newRow("X11 session") << QByteArray() << QByteArray("x11") << QByteArray() << QByteArray(":0") << QByteArray();
        QTest::newRow("Wayland with XWayland") << QByteArray() << QByteArray("wayland") << QByteArray("wayland-0")
                                               << QByteArray(":0") << QByteArray("xcb");
        QTest::newRow("Wayland display only") << QByteArray() << QByteArray() << QByteArray("wayland-0")
                                              << QByteArray(":1") << QByteArray("xcb");
        QTest::newRow("Wayland without XWayland") << QByteArray() << QByteArray("wayland") << QByteArray("wayland-0")
                                                  << QByteArray() << QByteArray();
        QTest::newRow("the user's choice") << QByteArray("wayland") << QByteArray("wayland")
                                           << QByteArray("wayland-0") << QByteArray(":0") << QByteArray();
    }

    void platformForTheSession()
    {
        QFETCH(QByteArray, qpa);
        QFETCH(QByteArray, session);
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, x11);
        QFETCH(QByteArray, chosen);
        QCOMPARE(PreferredPlatform(SessionEnvironment{qpa, session, wayland, x11}), chosen);
        // The choice goes to Qt as an argument; the environment that the
        // program hands to what it starts stays as it was.
        const QByteArray before = qgetenv("QT_QPA_PLATFORM");
        std::vector<std::string> args{"remindo"};
        ChoosePlatformForSession(args, SessionEnvironment{qpa, session, wayland, x11});
        QCOMPARE(args.size() == 3 ? QByteArray(args[2].c_str()) : QByteArray(), chosen);
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), before);
    }

    // Qt's own words (a box's buttons, a text field's menu) come in Polish.
    void qtSpeaksPolish()
    {
        QVERIFY(LoadQtPolish(*QCoreApplication::instance()));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Anuluj"));
        QCOMPARE(QCoreApplication::translate("QWidgetTextControl", "&Undo"), QStringLiteral("&Cofnij"));
    }
};

QTEST_GUILESS_MAIN(TestDesktopServices)
#include "test_desktopservices.moc"
