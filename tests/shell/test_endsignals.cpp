// The end signals as the program gets them: real signals to a process that
// blocked them before its first thread, read on the event loop; children
// start with them unblocked; a signal ignored at start stays ignored.

#include "shell/endsignals.h"
#include "shell/session.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/signalfd.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace remindo;

namespace {

int signalFd = -1; // opened by main(), before any thread

// The SigBlk or SigIgn mask of a status file's text.
unsigned long long Mask(const QByteArray& status, const char* name)
{
    for (const QByteArray& line : status.split('\n'))
        if (line.startsWith(name))
            return line.mid(int(qstrlen(name))).trimmed().toULongLong(nullptr, 16);
    return ~0ULL;
}

unsigned long long Bit(int s)
{
    return 1ULL << (s - 1);
}

} // namespace

class TestEndSignals : public QObject {
    Q_OBJECT

private slots:
    void eachSignalComesToTheEventLoop_data()
    {
        QTest::addColumn<int>("signal");
        for (const EndSignal& s : kEndSignals)
            QTest::newRow(sigabbrev_np(s.number)) << s.number;
    }

    // The process lives on (the test itself would end otherwise): the
    // signal waits as an event, whichever thread the kernel picks.
    void eachSignalComesToTheEventLoop()
    {
        QFETCH(int, signal);
        QVERIFY(signalFd >= 0);
        static EndSignalReader reader(signalFd);
        QSignalSpy spy(&reader, &EndSignalReader::received);
        QCOMPARE(::kill(::getpid(), signal), 0);
        QVERIFY(spy.wait(10000));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), signal);
    }

    // A page opened in the browser (QDesktopServices forks a detached child)
    // must end by these signals as any program does. No shell between: one
    // started with -c clears the mask itself.
    void childrenStartWithTheSignalsUnblocked()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath("status");
        QProcess grep;
        grep.setProgram(QStringLiteral("/bin/grep"));
        grep.setArguments({QStringLiteral("^Sig"), QStringLiteral("/proc/self/status")});
        grep.setStandardOutputFile(out);
        QVERIFY(grep.startDetached());
        QByteArray status;
        QTRY_VERIFY_WITH_TIMEOUT(([&] {
                                     QFile f(out);
                                     status = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
                                     return status.contains("SigCgt:");
                                 }()),
                                 10000);
        const unsigned long long blocked = Mask(status, "SigBlk:");
        for (const EndSignal& s : kEndSignals)
            QVERIFY2((blocked & Bit(s.number)) == 0, sigabbrev_np(s.number));
    }

    // nohup's SIGHUP: queued while blocked, it would end the program.
    void aSignalIgnoredAtStartStaysIgnored()
    {
        const pid_t child = fork();
        if (child == 0) {
            std::signal(SIGHUP, SIG_IGN); // as nohup starts a program
            const int fd = BlockEndSignals();
            ::kill(::getpid(), SIGHUP);
            ::kill(::getpid(), SIGTERM);
            int got[4] = {};
            int n = 0;
            signalfd_siginfo info;
            while (n < 4 && ::read(fd, &info, sizeof info) == ssize_t(sizeof info))
                got[n++] = int(info.ssi_signo);
            _exit(n == 1 && got[0] == SIGTERM ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }
};

int main(int argc, char** argv)
{
    signalFd = BlockEndSignals(); // as the program does: before Qt starts a thread
    QCoreApplication app(argc, argv);
    TestEndSignals test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_endsignals.moc"
