// `&Zakończ` with the editor and the recurrence dialog open over the list
// window ends the program at the first click. A program of its own: ending
// leaves every event loop for good, so nothing may run after it.

#include "shell_rig.h"

#include "shell/windowset.h"
#include "windows/czestosc.h"
#include "windows/dane.h"
#include "windows/wprowadzane.h"

#include <QComboBox>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

using namespace remindo;
using namespace remindo::test;

class TestQuit : public QObject {
    Q_OBJECT

private slots:
    void oneClickEndsWithDialogsOpen()
    {
        ShellEnv env;
        const auto state = env.MakeState();
        WindowSet windows(*state, env.Services());
        windows.glowny->Timerek().stop();
        windows.glowny->WprowadzDaneClick();
        windows.dane->LNowyWpisClick();
        QVERIFY(QTest::qWaitForWindowExposed(windows.wprowadzane));
        windows.wprowadzane->KindBox()->activated(5); // every X days: the dialog opens
        QVERIFY(QTest::qWaitForWindowExposed(windows.czestosc));

        QEventLoop loop;
        QTimer::singleShot(0, windows.glowny, &TFGlowny::CloseAppClick);
        QTimer::singleShot(3000, &loop, [&loop] { loop.exit(1); }); // not ended
        QCOMPARE(loop.exec(), 0);
    }
};

QTEST_MAIN(TestQuit)
#include "test_quit.moc"
