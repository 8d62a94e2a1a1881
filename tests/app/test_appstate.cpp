#include "app/appstate.h"

#include "store/fixedformats.h"

#include <QTemporaryDir>
#include <QTest>

using namespace remindo;

namespace {

struct Rig {
    QTemporaryDir dir;
    ManualClock clock{MakeDateTime(DateFromYmd(2026, 12, 8), 9, 0)};
    FixedFormats formats;
    NoScreenSaver saver;
    ScriptedMessages box;
    AppState state{AppEnvironment{clock, formats, saver, MakePaths(dir.path().toStdString())}};

    Rig()
    {
        state.messages.SetTarget(&box);
        for (const char* t : {"a+", "b+", "c+", "d+"})
            state.list.AddReminder(t, DateFromYmd(2026, 12, 8), 0, 1, 0, 0, 1, state.engineState.DataAkt);
    }
};

} // namespace

class TestAppState : public QObject {
    Q_OBJECT
private slots:
    // The reminder window's buttons must keep acting on the reminder it shows.
    void deletionKeepsTheShownReminder()
    {
        Rig r;
        r.state.engineState.CurrentReminderIndex = 2; // "c+"
        r.state.list.SelectedIndex = 0;
        r.state.DeleteSelected();
        QCOMPARE(r.state.engineState.CurrentReminderIndex, 1);
        QCOMPARE(r.state.list[1].Tresc, std::string("c+"));

        r.state.list.SelectedIndex = 2; // "d+", after it
        r.state.DeleteSelected();
        QCOMPARE(r.state.engineState.CurrentReminderIndex, 1);

        r.state.list.SelectedIndex = 1; // the shown one itself
        r.state.DeleteSelected();
        QCOMPARE(r.state.engineState.CurrentReminderIndex, -1);
        QVERIFY(!r.state.CurrentReminderValid());

        r.state.list.SelectedIndex = 7; // no such reminder: nothing happens
        r.state.DeleteSelected();
        QCOMPARE(r.state.list.ReminderCount(), 1);
    }

    void reloadForgetsTheShownReminder()
    {
        Rig r;
        r.state.engineState.CurrentReminderIndex = 1;
        QVERIFY(r.state.CurrentReminderValid());
        QCOMPARE(r.state.ReloadDataFile(), int(kMissing));
        QCOMPARE(r.state.engineState.CurrentReminderIndex, -1);
        QCOMPARE(r.box.shown.size(), size_t(1));
    }

    void zeroTimersRunAtTheirDefaults()
    {
        Settings s;
        s.BadajCo = 0;
        s.UkryjPo = -4;
        QCOMPARE(ExaminationIntervalMs(s), 5 * 60000);
        QCOMPARE(AutoHideIntervalMs(s), 15 * 1000);
        s.BadajCo = kMaxBadajCo + 1;
        s.UkryjPo = kMaxUkryjPo;
        QCOMPARE(ExaminationIntervalMs(s), kMaxBadajCo * 60000);
        QCOMPARE(AutoHideIntervalMs(s), kMaxUkryjPo * 1000);
        QVERIFY(ExaminationIntervalMs(s) > 0 && AutoHideIntervalMs(s) > 0);
    }
};

QTEST_GUILESS_MAIN(TestAppState)
#include "test_appstate.moc"
