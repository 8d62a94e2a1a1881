// A log-out: never restarted, and edits that wait in the list window asked
// about where the session manager allows it. A signal that asks the program
// to end takes the same road (real signals to the real program: the
// desktop test).

#include "shell/endsignals.h"
#include "shell/session.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QTest>

#include <csignal>
#include <sys/signalfd.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace remindo;

namespace {

struct Conversation final : LogoutConversation {
    bool interaction = true;
    bool neverRestart = false, released = false, cancelled = false;
    void AskNeverToRestart() override { neverRestart = true; }
    bool AllowInteraction() override { return interaction; }
    void Release() override { released = true; }
    void CancelLogout() override { cancelled = true; }
};

} // namespace

class TestSession : public QObject {
    Q_OBJECT

private slots:
    void logout_data()
    {
        QTest::addColumn<bool>("pending");
        QTest::addColumn<bool>("interaction");
        QTest::addColumn<int>("answer"); // 1 Tak, 2 Nie, 3 Anuluj; 0 not asked
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("nothing waits") << false << true << 0 << false << false << false;
        QTest::newRow("Tak") << true << true << 1 << true << true << false;
        QTest::newRow("Nie") << true << true << 2 << true << false << false;
        QTest::newRow("Anuluj") << true << true << 3 << true << false << true;
        QTest::newRow("no question allowed") << true << false << 0 << false << true << false;
    }

    void logout()
    {
        QFETCH(bool, pending);
        QFETCH(bool, interaction);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(bool, saved);
        QFETCH(bool, cancelled);
        Conversation c;
        c.interaction = interaction;
        bool wasAsked = false, wasSaved = false;
        const auto save = [&] { return wasSaved = true; };
        CommitData(c, LogoutHandlers{[&] { return pending; },
                                     [&] {
                                         wasAsked = true;
                                         if (answer == 1)
                                             save();
                                         return answer != 3;
                                     },
                                     save});
        QVERIFY(c.neverRestart);
        QCOMPARE(wasAsked, asked);
        QCOMPARE(wasSaved, saved);
        QCOMPARE(c.cancelled, cancelled);
        QCOMPARE(c.released, asked); // the user's turn given back after the question
    }

    void endSignal_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("pending");
        QTest::addColumn<bool>("standing"); // the question is on the screen already
        QTest::addColumn<bool>("saves");    // the save succeeds
        QTest::addColumn<int>("answer");    // 1 Tak, 2 Nie, 3 Anuluj
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("ends");
        QTest::newRow("TERM saves unasked") << SIGTERM << true << false << true << 1 << false << true << true;
        QTest::newRow("HUP saves unasked") << SIGHUP << true << false << true << 1 << false << true << true;
        QTest::newRow("TERM, the save fails") << SIGTERM << true << false << false << 1 << false << true << false;
        QTest::newRow("INT asks: Tak") << SIGINT << true << false << true << 1 << true << true << true;
        QTest::newRow("INT asks: Nie") << SIGINT << true << false << true << 2 << true << false << true;
        QTest::newRow("INT asks: Anuluj") << SIGINT << true << false << true << 3 << true << false << false;
        QTest::newRow("INT while the question stands") << SIGINT << true << true << true << 3 << false << true << true;
        QTest::newRow("TERM while the question stands") << SIGTERM << true << true << true << 3 << false << true << true;
    }

    void endSignal()
    {
        QFETCH(int, signal);
        QFETCH(bool, pending);
        QFETCH(bool, standing);
        QFETCH(bool, saves);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(bool, saved);
        QFETCH(bool, ends);
        bool wasAsked = false, wasSaved = false;
        int endings = 0;
        const auto save = [&] {
            wasSaved = true;
            return saves;
        };
        SignalEnding ending(LogoutHandlers{[&] { return pending; },
                                           [&] {
                                               wasAsked = true;
                                               return answer == 1 ? save() : answer == 2;
                                           },
                                           save, [&] { return standing; }},
                            [&] { ++endings; });
        ending.Received(signal);
        QCOMPARE(wasAsked, asked);
        QCOMPARE(wasSaved, saved);
        QCOMPARE(endings, ends ? 1 : 0);
        QCOMPARE(ending.EndedBy(), ends ? signal : 0);
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
            int got[2] = {};
            int n = 0;
            signalfd_siginfo info;
            while (n < 2 && ::read(fd, &info, sizeof info) == ssize_t(sizeof info))
                got[n++] = int(info.ssi_signo);
            _exit(n == 1 && got[0] == SIGTERM ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }

    // What the session manager is told: never to restart the program, both
    // at log-out and when it saves the session.
    void theSessionNeverRestartsTheProgram()
    {
        WatchSession(*qGuiApp, LogoutHandlers{[] { return false; }, {}, {}});
        auto* manager = qGuiApp->findChild<QSessionManager*>();
        QVERIFY(manager);
        for (auto request : {&QGuiApplication::commitDataRequest, &QGuiApplication::saveStateRequest}) {
            manager->setRestartHint(QSessionManager::RestartIfRunning);
            emit(qGuiApp->*request)(*manager);
            QCOMPARE(manager->restartHint(), QSessionManager::RestartNever);
        }
    }
};

QTEST_MAIN(TestSession)
#include "test_session.moc"
