// The settings dialog, driven through its window: held arrows with their
// stops, the values shown from odd stored settings, save and its failure,
// cancel and the sound switch.

#include "windows/chrome_support.h"

#include "app/staterig.h"
#include "windows/ustawienia.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>

using namespace remindo;
using namespace remindo::test;

namespace {

using F = TFUstawienia::Field;

// The main window's timers as the dialog sees them: each interval with the
// time it has already counted, kept when the interval stays the same.
class FakeTimers final : public ProgramTimers {
public:
    void SetIntervals(int examinationMs, int autoHideMs) override
    {
        ++calls;
        if (examinationMs != examination)
            examinationCounted = 0;
        if (autoHideMs != autoHide)
            autoHideCounted = 0;
        examination = examinationMs;
        autoHide = autoHideMs;
    }
    int calls = 0;
    int examination = 5 * 60000;
    int autoHide = 15 * 1000;
    int examinationCounted = 0;
    int autoHideCounted = 0;
};

struct Rig : StateRig {
    FakeTimers timers;
    ManualRepeatTimers repeat; // before the dialog: its timers come from here
    TFUstawienia dialog{state};

    Rig()
    {
        state.timers = &timers;
        state.settingsFile.PrepareSettings(state.settings);
    }

    bool Open()
    {
        dialog.Open();
        return QTest::qWaitForWindowExposed(&dialog);
    }

    // Holds an arrow with the left button for `ms` and lets it go.
    void Hold(QRect arrow, int ms) { HoldAt(dialog, arrow.center(), repeat, ms); }
    void HoldLess(F f, int ms) { Hold(TFUstawienia::LessPlace(f), ms); }
    void HoldMore(F f, int ms) { Hold(TFUstawienia::MorePlace(f), ms); }

    Settings ReadBack()
    {
        Settings s;
        s.PokazCo = s.UkryjPo = s.BadajCo = -1;
        state.settingsFile.ReadSettings(s);
        return s;
    }
};

} // namespace

class TestUstawienia : public QObject {
    Q_OBJECT

private slots:
    void opensWithTheDefaults()
    {
        Rig r;
        QVERIFY(r.Open());
        QCOMPARE(r.dialog.Shown(F::kPokazCo), 60);
        QCOMPARE(r.dialog.Shown(F::kBadajCo), 5);
        QCOMPARE(r.dialog.Shown(F::kUkryjPo), 15);
        QCOMPARE(r.dialog.Shown(F::kDzwiek), 10);
        QVERIFY(r.dialog.ImPtaszek2()->IsTicked());
        QCOMPARE(r.dialog.ValueLabel(F::kBadajCo)->palette().color(QPalette::WindowText),
                 QColor(90, 120, 136));
    }

    // A click is one step; held past the pause, twenty steps a second; each
    // value stops at its bound while the arrow is still held.
    void heldArrowsStepAndStop()
    {
        Rig r;
        QVERIFY(r.Open());
        r.HoldMore(F::kPokazCo, 1000); // 1 at the press, 13 from 400 ms on
        QCOMPARE(r.dialog.Shown(F::kPokazCo), 74);
        r.HoldMore(F::kPokazCo, 49); // a click
        QCOMPARE(r.dialog.Shown(F::kPokazCo), 75);

        r.HoldLess(F::kBadajCo, 1000);
        QCOMPARE(r.dialog.Shown(F::kBadajCo), 3);
        r.HoldLess(F::kUkryjPo, 1000);
        QCOMPARE(r.dialog.Shown(F::kUkryjPo), 15);
        r.HoldMore(F::kUkryjPo, 450);
        QCOMPARE(r.dialog.Shown(F::kUkryjPo), 30);
        r.HoldMore(F::kDzwiek, 1000);
        QCOMPARE(r.dialog.Shown(F::kDzwiek), 15);
        r.HoldLess(F::kDzwiek, 2000);
        QCOMPARE(r.dialog.Shown(F::kDzwiek), 1);

        // The arrow pressed sets the field; letting go stops it.
        PressAt(r.dialog, TFUstawienia::MorePlace(F::kBadajCo).center());
        r.repeat.Advance(100);
        QCOMPARE(r.dialog.ActiveField(), int(F::kBadajCo));
        QCOMPARE(r.repeat.ActiveCount(), 1);
        ReleaseAt(r.dialog, TFUstawienia::MorePlace(F::kBadajCo).center());
        QCOMPARE(r.repeat.ActiveCount(), 0);
        QCOMPARE(r.dialog.Shown(F::kBadajCo), 4);
        // Another mouse button holds no arrow.
        PressAt(r.dialog, TFUstawienia::MorePlace(F::kBadajCo).center(), Qt::RightButton);
        QCOMPARE(r.repeat.ActiveCount(), 0);
        ReleaseAt(r.dialog, TFUstawienia::MorePlace(F::kBadajCo).center(), Qt::RightButton);
        QCOMPARE(r.dialog.Shown(F::kBadajCo), 4);
    }

    // The more arrows stop where the timers' intervals end; the arrow may be
    // held on without wrapping or passing the limit.
    void moreArrowsStopAtTheTimersLimit()
    {
        Rig r;
        r.state.settings.BadajCo = kMaxBadajCo - 2;
        r.state.settings.UkryjPo = kMaxUkryjPo - 7;
        r.state.settings.PokazCo = kMaxPokazCo;
        QVERIFY(r.Open());
        r.HoldMore(F::kBadajCo, 1000);
        QCOMPARE(r.dialog.Shown(F::kBadajCo), kMaxBadajCo);
        r.HoldMore(F::kUkryjPo, 1000);
        QCOMPARE(r.dialog.Shown(F::kUkryjPo), kMaxUkryjPo - 2);
        r.HoldMore(F::kPokazCo, 1000);
        QCOMPARE(r.dialog.Shown(F::kPokazCo), kMaxPokazCo);

        // Saved, the largest values still give valid intervals.
        ClickOn(r.dialog, ToQRect(layout::ustawienia::kZapisz));
        QCOMPARE(r.timers.examination, kMaxBadajCo * 60000);
        QCOMPARE(r.timers.autoHide, (kMaxUkryjPo - 2) * 1000);
        QVERIFY(r.timers.examination > 0 && r.timers.autoHide > 0);
        QCOMPARE(r.ReadBack().BadajCo, kMaxBadajCo);
    }

    // Stored values are shown as they are, except intervals of 0.
    void oddStoredValues()
    {
        const struct {
            uint16_t volume;
            int level;
        } volumes[] = {{0, 1}, {2999, 1}, {3000, 1}, {31000, 10}, {47999, 15}, {48000, 16}, {65535, 21}};
        for (const auto& v : volumes) {
            Rig r;
            r.state.settings.Volume = v.volume;
            QVERIFY(r.Open());
            QCOMPARE(r.dialog.Shown(F::kDzwiek), v.level);
        }

        Rig r;
        r.state.settings.Volume = 65535;
        r.state.settings.UkryjPo = 17;
        r.state.settings.BadajCo = 0;
        r.state.settings.PokazCo = 1;
        QVERIFY(r.Open());
        QCOMPARE(r.dialog.Shown(F::kBadajCo), 5);
        QCOMPARE(r.dialog.Shown(F::kPokazCo), 1);
        r.HoldMore(F::kDzwiek, 500); // above 15: can be lowered, not raised
        QCOMPARE(r.dialog.Shown(F::kDzwiek), 21);
        r.HoldLess(F::kDzwiek, 400);
        QCOMPARE(r.dialog.Shown(F::kDzwiek), 19);
        r.HoldLess(F::kUkryjPo, 1000); // only values above 15 step down
        QCOMPARE(r.dialog.Shown(F::kUkryjPo), 12);
        r.HoldLess(F::kPokazCo, 500); // below 3 already: stays
        QCOMPARE(r.dialog.Shown(F::kPokazCo), 1);

        ClickOn(r.dialog, ToQRect(layout::ustawienia::kZapisz));
        QVERIFY(!r.dialog.isVisible());
        const Settings s = r.ReadBack();
        QCOMPARE(s.Volume, uint16_t(19 * 3000));
        QCOMPARE(s.UkryjPo, 12);
        QCOMPARE(s.BadajCo, 5);
        QCOMPARE(s.PokazCo, 1);
    }

    // A stored value too wide for its field still shows all its digits.
    void wideValuesFitTheirField()
    {
        Rig r;
        r.state.settings.UkryjPo = kMaxUkryjPo;
        QVERIFY(r.Open());
        QLabel* l = r.dialog.ValueLabel(F::kUkryjPo);
        QCOMPARE(l->text(), QString::number(kMaxUkryjPo));
        QVERIFY(QFontMetrics(l->font()).horizontalAdvance(l->text()) <= l->width());
    }

    void savingWithoutChangesLeavesRunningTimersAlone()
    {
        Rig r;
        QFile::remove(QString::fromStdString(r.state.settingsFile.GetPaths().settingsFile));
        r.timers.examinationCounted = 120000;
        r.timers.autoHideCounted = 7000;
        QVERIFY(r.Open());
        ClickOn(r.dialog, ToQRect(layout::ustawienia::kZapisz));
        QVERIFY(!r.dialog.isVisible());
        QCOMPARE(r.timers.calls, 1);
        QCOMPARE(r.timers.examinationCounted, 120000);
        QCOMPARE(r.timers.autoHideCounted, 7000);
        // ... but the file is written all the same.
        QVERIFY(QFile::exists(QString::fromStdString(r.state.settingsFile.GetPaths().settingsFile)));
        QCOMPARE(r.ReadBack().PokazCo, 60);
        QVERIFY(r.box.shown.empty());

        // A changed interval starts counting afresh, the other goes on.
        QVERIFY(r.Open());
        r.HoldMore(F::kBadajCo, 50);
        ClickOn(r.dialog, ToQRect(layout::ustawienia::kZapisz));
        QCOMPARE(r.timers.examination, 6 * 60000);
        QCOMPARE(r.timers.examinationCounted, 0);
        QCOMPARE(r.timers.autoHideCounted, 7000);
        QCOMPARE(r.state.settings.BadajCo, 6);
    }

    // The folder is replaced by a plain file: no writer gets past that, not
    // even one running as root.
    void failedWriteKeepsTheDialogOpen()
    {
        Rig r;
        const QString folder = QString::fromStdString(r.state.settingsFile.GetPaths().settingsFolder);
        QVERIFY(r.Open());
        r.HoldMore(F::kPokazCo, 400);
        QVERIFY(QDir(folder).removeRecursively());
        {
            QFile blocker(folder);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        ClickOn(r.dialog, ToQRect(layout::ustawienia::kZapisz));
        QCOMPARE(r.box.shown.size(), size_t(1));
        QCOMPARE(r.box.shown[0].kind, int(kInformationBox));
        QCOMPARE(r.box.shown[0].icon, int(kIconInfo));
        QCOMPARE(r.box.shown[0].text,
                 std::string("Wystąpiły problemy z zapisem pliku ini.\rSpróbuj zapisać ponownie."));
        QVERIFY(r.dialog.isVisible());
        QCOMPARE(r.state.settings.PokazCo, 62); // in force in memory
        QCOMPARE(r.timers.calls, 1);

        // The user mends the folder and saves again.
        QVERIFY(QFile::remove(folder));
        QVERIFY(QDir().mkpath(folder));
        ClickOn(r.dialog, ToQRect(layout::ustawienia::kZapisz));
        QVERIFY(!r.dialog.isVisible());
        QCOMPARE(r.box.shown.size(), size_t(1));
        QCOMPARE(r.ReadBack().PokazCo, 62);
    }

    // The tick, like the numbers, changes only the dialog's values: ✖ drops
    // them all, ✔ puts them in force and writes them.
    void soundTickWaitsForSaveAndCancelDropsIt()
    {
        Rig r;
        const QString file = QString::fromStdString(r.state.settingsFile.GetPaths().settingsFile);
        QFile before(file);
        QVERIFY(before.open(QIODevice::ReadOnly));
        const QByteArray bytes = before.readAll();
        before.close();

        QVERIFY(r.Open());
        ClickOn(r.dialog, ToQRect(layout::ustawienia::kPtaszek2));
        QVERIFY(r.state.settings.SoundOn);
        QVERIFY(!r.dialog.ImPtaszek2()->IsTicked());
        r.HoldLess(F::kPokazCo, 800);
        QCOMPARE(r.dialog.Shown(F::kPokazCo), 50);
        ClickOn(r.dialog, ToQRect(layout::ustawienia::kAnuluj));
        QVERIFY(!r.dialog.isVisible());
        QVERIFY(r.state.settings.SoundOn);
        QCOMPARE(r.state.settings.PokazCo, 60);
        QCOMPARE(r.timers.calls, 0);
        QFile after(file);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), bytes);

        QVERIFY(r.Open());
        QCOMPARE(r.dialog.Shown(F::kPokazCo), 60);
        QVERIFY(r.dialog.ImPtaszek2()->IsTicked());
        ClickOn(r.dialog, ToQRect(layout::ustawienia::kPtaszek2));
        ClickOn(r.dialog, ToQRect(layout::ustawienia::kZapisz));
        QVERIFY(!r.state.settings.SoundOn);
        QVERIFY(!r.ReadBack().SoundOn);
    }

    // The numbers take typed digits: selected when the keyboard reaches
    // them, so that the first digit replaces the number; held to the
    // field's least and most (the timers' caps), a digit that would pass
    // the most refused; taken when the keyboard leaves.
    void typedNumbers()
    {
        const struct {
            F field;
            const char* typed;
            int shown;
        } cases[] = {
            {F::kPokazCo, "3", 3}, // 60 to 3 in three keys: Tab, 3, Tab
            {F::kPokazCo, "36000", 3600},
            {F::kBadajCo, "35792", 3579},
            {F::kBadajCo, "35791", kMaxBadajCo},
            {F::kBadajCo, "1", 3}, // below the least: the least
            {F::kUkryjPo, "17", 17},
            {F::kUkryjPo, "99999999", 999999},
            {F::kDzwiek, "20", 2},
            {F::kDzwiek, "0", 1},
            {F::kPokazCo, "4\b7", 7},
            {F::kPokazCo, "\b", 60}, // nothing typed: the number stays
        };
        Rig r;
        for (const auto& c : cases) {
            QVERIFY(r.Open());
            QApplication::setActiveWindow(&r.dialog);
            StepperValue* box = r.dialog.ValueLabel(c.field);
            box->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(box, c.typed); // "\b" is Backspace
            QTest::keyClick(box, Qt::Key_Tab);
            QVERIFY2(!box->hasFocus(), c.typed);
            QVERIFY2(r.dialog.Shown(c.field) == c.shown, qPrintable(QString::number(r.dialog.Shown(c.field))));
        }
        // A gap stored by hand beyond the cap is shown as it is; typed, the cap holds.
        r.state.settings.PokazCo = 99999;
        QVERIFY(r.Open());
        StepperValue* gap = r.dialog.ValueLabel(F::kPokazCo);
        QCOMPARE(gap->Value(), 99999);
        gap->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(gap, "50000");
        QTest::keyClick(gap, Qt::Key_Return);
        QCOMPARE(r.dialog.Shown(F::kPokazCo), 5000);
    }

    // A number being typed is taken before a button acts: an arrow steps on
    // from it, save stores it. The up and down keys step as the arrows do,
    // and a screen reader reads a spin box with the new value.
    void typedNumberMeetsArrowsSaveAndAScreenReader()
    {
        Rig r;
        QVERIFY(r.Open());
        QApplication::setActiveWindow(&r.dialog);
        StepperValue* gap = r.dialog.ValueLabel(F::kPokazCo);
        gap->setFocus(Qt::TabFocusReason);
        QTest::keyClick(gap, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("LPokazCoMniej"));
        gap->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(gap, "7");
        ClickOn(r.dialog, TFUstawienia::MorePlace(F::kPokazCo));
        QCOMPARE(r.dialog.Shown(F::kPokazCo), 8);
        QTest::keyClick(gap, Qt::Key_Up);
        QCOMPARE(r.dialog.Shown(F::kPokazCo), 9);
        QTest::keyClick(r.dialog.ValueLabel(F::kUkryjPo), Qt::Key_Up);
        QCOMPARE(r.dialog.Shown(F::kUkryjPo), 20);
        QTest::keyClicks(gap, "45");
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(gap);
        QCOMPARE(spoken->role(), QAccessible::SpinBox);
        StepperValue* interval = r.dialog.ValueLabel(F::kBadajCo);
        interval->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(interval, "1"); // below the least, still being typed
        ClickOn(r.dialog, ToQRect(layout::ustawienia::kZapisz));
        QVERIFY(!r.dialog.isVisible());
        QCOMPARE(spoken->valueInterface()->currentValue().toInt(), 45);
        const Settings saved = r.ReadBack();
        QCOMPARE(saved.PokazCo, 45);
        QCOMPARE(saved.BadajCo, 3);
        QCOMPARE(saved.UkryjPo, 20);
    }

    // Hiding the dialog with an arrow held stops the stepping.
    void hidingStopsTheTimers()
    {
        Rig r;
        QVERIFY(r.Open());
        PressAt(r.dialog, TFUstawienia::MorePlace(F::kPokazCo).center());
        r.repeat.Advance(400);
        r.dialog.hide();
        QCOMPARE(r.repeat.ActiveCount(), 0);
        r.repeat.Advance(1000);
        QCOMPARE(r.dialog.Shown(F::kPokazCo), 62);
    }
};

QTEST_MAIN(TestUstawienia)
#include "test_ustawienia.moc"
