// The per-user instance lock on real lock files (a holder killed with
// SIGKILL included, another user's planted file, a lock file deleted or
// replaced) and the choice of the Qt platform for the session.

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

#include <cerrno>
#include <csignal>
#include <functional>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace remindo;

namespace {

// A process that runs `take` and, when it answers true, holds what it took
// until killed. Answers its pid, or -1.
pid_t Holding(const std::function<bool()>& take)
{
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        const char c = take() ? '1' : '0';
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

bool BecomeUser(uid_t user)
{
    return setgid(user) == 0 && setuid(user) == 0;
}

// A process that takes the lock at `path` (as the user `asUser`, making
// the file open to all, when given) and holds it until killed. Answers its
// pid, or -1 when it could not take the lock.
pid_t Holder(const std::string& path, uid_t asUser = 0)
{
    return Holding([&] {
        auto* held = new LockFileInstance(path); // kept until the process is killed
        if (asUser) {
            umask(0);
            if (!BecomeUser(asUser))
                return false;
        }
        return held->Acquire() && (!asUser || ::chmod(path.c_str(), 0666) == 0);
    });
}

// A process of the user `asUser` that holds a lock on the folder `dir`
// itself, as anyone who may read a folder can.
pid_t FolderHolder(const std::string& dir, uid_t asUser)
{
    return Holding([&] {
        const int fd = BecomeUser(asUser) ? ::open(dir.c_str(), O_RDONLY | O_DIRECTORY) : -1;
        return fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    });
}

void Stop(pid_t child)
{
    if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
}

// Whether a process of the user `asUser` takes the lock at `path`: 1 yes,
// 0 no, -1 when it could not become that user.
int AcquiredAs(const std::string& path, uid_t asUser)
{
    const pid_t child = fork();
    if (child == 0) {
        if (!BecomeUser(asUser))
            _exit(3);
        LockFileInstance ours(path);
        _exit(ours.Acquire() ? 1 : 0);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return -1;
    return WEXITSTATUS(status);
}

// True when some holder has the file now at `path` locked.
bool FileAtPathIsLocked(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return locked;
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
        const auto stop = qScopeGuard([holder] { Stop(holder); });
        LockFileInstance ours(path);
        QVERIFY(ours.Acquire());
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
                Stop(child);
                QSKIP("cannot run a child as a normal user here");
            }
            started = taken == 1;
        }
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        QVERIFY(started);
    }

    // The lock file deleted while a copy runs: a second copy started then,
    // which makes the file anew, is refused all the same, and makes nothing;
    // also in a folder that others may read, as older versions made it.
    void aDeletedLockFileStillKeepsASecondCopyOut_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("folder 0700") << 0700;
        QTest::newRow("folder 0755") << 0755;
    }

    void aDeletedLockFileStillKeepsASecondCopyOut()
    {
        QFETCH(int, mode);
        QTemporaryDir dir;
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), mode_t(mode)) == 0);
        const std::string path = QFile::encodeName(dir.filePath("Remindo.lock")).toStdString();
        const pid_t first = Holder(path);
        QVERIFY(first > 0);
        const auto stopFirst = qScopeGuard([first] { Stop(first); });
        QVERIFY(QFile::remove(QString::fromStdString(path)));
        const pid_t second = Holder(path);
        Stop(second);
        QCOMPARE(second, pid_t(-1));
        QVERIFY(!QFile::exists(QString::fromStdString(path)));
    }

    // The file deleted or replaced between its opening and its locking (a
    // sync tool, a hand): the lock ends up on the file at the path, where
    // the next start looks; a path that never holds still is given up.
    void theLockHeldIsTheFileAtThePath_data()
    {
        QTest::addColumn<int>("changes"); // how many openings find the file changed
        QTest::addColumn<bool>("replaced"); // a new file renamed over it, not deleted
        QTest::newRow("deleted once") << 1 << false;
        QTest::newRow("replaced twice") << 2 << true;
        QTest::newRow("replaced at every opening") << 1000 << true;
    }

    void theLockHeldIsTheFileAtThePath()
    {
        QFETCH(int, changes);
        QFETCH(bool, replaced);
        QTemporaryDir dir;
        const std::string path = QFile::encodeName(dir.filePath("Remindo.lock")).toStdString();
        const std::string other = path + ".new";
        LockFileInstance lock(path);
        int openings = 0;
        lock.SetBeforeLocking([&] {
            if (openings++ >= changes)
                return;
            if (!replaced) {
                ::unlink(path.c_str());
                return;
            }
            const int fd = ::open(other.c_str(), O_WRONLY | O_CREAT, 0600);
            ::close(fd);
            ::rename(other.c_str(), path.c_str());
        });
        const bool endless = changes > 10;
        if (endless)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("keeps changing"));
        QVERIFY(lock.Acquire());
        QVERIFY(openings <= 10); // bounded
        if (!endless)
            QVERIFY(FileAtPathIsLocked(path));
    }

    // A folder that others may read, locked by another user: not a copy of
    // ours, and no reason not to start.
    void anotherUsersLockOnAnOpenFolderDoesNotStopUs()
    {
        if (geteuid() != 0)
            QSKIP("needs root, to act as a second user (CI runs as root)");
        QTemporaryDir dir;
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
        const pid_t child = FolderHolder(QFile::encodeName(dir.path()).toStdString(), 65534);
        QVERIFY(child > 0);
        const auto stop = qScopeGuard([child] { Stop(child); });
        LockFileInstance ours(QFile::encodeName(dir.filePath("Remindo.lock")).toStdString());
        QVERIFY(ours.Acquire());
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
