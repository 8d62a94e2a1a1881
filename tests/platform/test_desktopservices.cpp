// The per-user instance lock on real lock files (a holder killed with
// SIGKILL included) and the choice of the Qt platform for the session.

#include "platform/core/displaysession.h"
#include "platform/core/instancelock.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace remindo;

class TestDesktopServices : public QObject {
    Q_OBJECT

private slots:
    void secondHolderIsRefusedWithoutTouchingTheLock()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Remindo.lock");
        LockFileInstance first(path);
        QVERIFY(first.Acquire());
        QVERIFY(first.Acquire()); // asking again keeps it
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const QDateTime written = QFileInfo(path).lastModified();

        LockFileInstance second(path);
        QVERIFY(!second.Acquire());
        QCOMPARE(QFileInfo(path).lastModified(), written);
        f.seek(0);
        QCOMPARE(f.readAll(), bytes);
    }

    void aKilledHolderLeavesTheLockFree()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Remindo.lock");
        int ready[2];
        QCOMPARE(pipe(ready), 0);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            LockFileInstance held(path);
            const char ok = held.Acquire() ? '1' : '0';
            (void)!write(ready[1], &ok, 1);
            for (;;)
                pause();
        }
        char ok = 0;
        QCOMPARE(read(ready[0], &ok, 1), ssize_t(1));
        QCOMPARE(ok, '1');
        LockFileInstance other(path);
        QVERIFY(!other.Acquire()); // held by a running process

        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        QVERIFY(QFile::exists(path)); // left behind ...
        QVERIFY(other.Acquire());     // ... and taken over at once
        close(ready[0]);
        close(ready[1]);
    }

    void aLockThatCannotBeMadeDoesNotPassForAnotherCopy()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath("not-a-folder"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        LockFileInstance lock(dir.filePath("not-a-folder/Remindo.lock"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot create the lock file"));
        QVERIFY(lock.Acquire());
    }

    void lockLivesInTheRuntimeFolderElseTheTemporaryOne()
    {
        QTemporaryDir runtime;
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        QCOMPARE(QFileInfo(LockFileInstance::DefaultPath()).absolutePath(), runtime.path());
        qunsetenv("XDG_RUNTIME_DIR");
        const QString fallback = LockFileInstance::DefaultPath();
        QCOMPARE(QFileInfo(fallback).absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
        QVERIFY(fallback.contains(QString::number(getuid()))); // one per user there
        qputenv("XDG_RUNTIME_DIR", saved);
    }

    void aRuntimeFolderThatIsNotThereStillKeepsOutASecondCopy()
    {
        // As after `su`: the variable names the other user's folder, gone.
        QTemporaryDir temp;
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR"), savedTemp = qgetenv("TMPDIR");
        const auto restore = qScopeGuard([&] {
            qputenv("XDG_RUNTIME_DIR", savedRuntime);
            qputenv("TMPDIR", savedTemp);
        });
        qputenv("XDG_RUNTIME_DIR", temp.filePath("gone").toLocal8Bit());
        qputenv("TMPDIR", temp.path().toLocal8Bit());
        LockFileInstance first(LockFileInstance::DefaultPath()), second(LockFileInstance::DefaultPath());
        QVERIFY(first.Acquire());
        QVERIFY(!second.Acquire());
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
    }
};

QTEST_GUILESS_MAIN(TestDesktopServices)
#include "test_desktopservices.moc"
