// A log-out: never restarted, and edits that wait in the list window asked
// about where the session manager allows it.

#include "shell/session.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QTest>

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
