// A user's whole road through the editing windows: open the list, add a
// yearly birthday and a last-Friday reminder, edit one, delete one, save;
// then the data file holds exactly those reminders and the command-line tool
// lists the occurrences the engine computes for them.

#include "windows/editing_support.h"

#include "engine/occurrence.h"
#include "shell/shell_rig.h"
#include "shell/tray.h"
#include "shell/windowset.h"
#include "store/datafile.h"

#include <QAction>

#include <QProcess>

using namespace remindo;
using namespace remindo::test;

namespace {

// The program's own windows, as start-up makes them, with the tray menu.
struct ProgramRig {
    FakeDesktop desktop;
    FakeSound sound;
    RecordingHelpOpener help;
    FakeTray icon;
    std::unique_ptr<WindowSet> windows;
    std::unique_ptr<CoolTray> tray;

    ~ProgramRig()
    {
        tray.reset();
        windows.reset();
    }
};

EditingWindows ProgramWindows(AppState& state, ProgramRig*& out)
{
    auto program = std::make_shared<ProgramRig>();
    program->windows = std::make_unique<WindowSet>(
        state, ShellServices{program->desktop, program->sound, &program->help});
    program->windows->glowny->SetSlideStep(0);
    program->windows->glowny->SetSettleTime(0);
    program->windows->program->Timerek().stop(); // the test does the start's work itself
    program->tray = std::make_unique<CoolTray>(program->icon);
    program->tray->Start(*program->windows->program);
    out = program.get();
    return {program->windows->dane, program->windows->wprowadzane, program->windows->czestosc, program};
}

QString Iso(Date d)
{
    const Ymd v = YmdOf(d);
    return QString::asprintf("%04d-%02d-%02d", v.year, v.month, v.day);
}

} // namespace

class TestEditingRoad : public QObject {
    Q_OBJECT
private slots:
    void addEditDeleteSave()
    {
        ProgramRig* program = nullptr;
        EditingRig r(D(2026, 12, 8), [&program](AppState& s) { return ProgramWindows(s, program); });
        // The list as the program finds it at start: one old reminder on file.
        r.Seed("Przegląd auta+", D(2026, 3, 2), 0, 2, 1);
        QVERIFY(r.SaveFile());
        r.state.list.items.clear();
        QCOMPARE(r.state.session().ReloadDataFile(), int(kLoaded));

        // The tray menu's first entry opens the list.
        program->tray->Item("WprowadzDane")->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(&r.dane));
        QCOMPARE(r.Lines(), QStringList{"Przegląd auta "});

        // 1. "Urodziny mamy", yearly on 14 December, 6 days before.
        r.ClickDane(ld::kNowyWpis);
        QVERIFY(QTest::qWaitForWindowExposed(&r.editor));
        r.TypeText(QStringLiteral("Urodziny mamy"));
        r.ClickEditor(lw::kRozwinKalendarz);
        ClickAt(r.editor, r.editor.Picker()->pos() + r.editor.Picker()->PointOfDay(14));
        QCOMPARE(r.editor.DateLabel(), QStringLiteral("14 grudnia 2026"));
        QTRY_VERIFY(!r.editor.Picker()->IsOpen());
        r.ChooseKind(4);
        QCOMPARE(r.Label(r.editor, "LDniPrzed"), QStringLiteral("6"));
        r.ClickEditor(lw::kPtaszek); // warn also after the day
        r.ClickEditor(lw::kZapisz);
        QVERIFY(!r.editor.isVisible());

        // 2. Pay day on the last Friday of every month.
        r.ClickDane(ld::kNowyWpis);
        r.TypeText(QStringLiteral("Wypłata"));
        r.ChooseKind(6);
        QVERIFY(r.dialog.isVisible());
        EditingRig::Choose(r.dialog, lc::kRozwinListaKtory, r.dialog.KtoreBox(), 5);
        EditingRig::Choose(r.dialog, lc::kRozwinListaJaki, r.dialog.JakieBox(), 5);
        r.ClickDialog(lc::kOkWOD);
        QCOMPARE(r.editor.KindBox()->currentText(),
                 QStringLiteral("Zdarzenie występuje w ostatni piątek miesiąca"));
        r.ClickEditor(lw::kZapisz);

        // 3. A one-off that will be deleted again.
        r.ClickDane(ld::kNowyWpis);
        r.TypeText(QStringLiteral("Dentysta"));
        r.ClickEditor(lw::kZapisz);
        QCOMPARE(r.Lines(), (QStringList{"Przegląd auta ", "Urodziny mamy ", "Wypłata ", "Dentysta "}));

        // 4. Edit pay day: a second line and twice a day.
        r.ClickRow(2);
        r.ClickDane(ld::kEdytujWpis);
        QCOMPARE(r.editor.Memo()->toPlainText(), QStringLiteral("Wypłata"));
        r.editor.Memo()->moveCursor(QTextCursor::End);
        r.TypeText(QStringLiteral("\nsprawdź konto"));
        r.ClickEditor(lw::kWiecejRazy);
        r.ClickEditor(lw::kZapisz);
        QCOMPARE(r.Lines()[2], QStringLiteral("Wypłata sprawdź konto "));

        // 5. Delete the one-off and the old reminder; the first delete asks.
        r.ClickRow(3);
        r.box.Answer(kAnswerTak);
        r.ClickDane(ld::kUsunWpis);
        r.ClickRow(0);
        r.ClickDane(ld::kUsunWpis);
        QCOMPARE(r.box.shown.size(), size_t(1));
        QCOMPARE(r.Lines(), (QStringList{"Urodziny mamy ", "Wypłata sprawdź konto "}));

        // 6. Save.
        r.ClickDane(ld::kZapisz);
        QVERIFY(!r.dane.isVisible());
        QVERIFY(!r.state.session().DataChanged());

        // The file holds exactly these two.
        Komunikaty stored;
        QCOMPARE(r.state.dataFile.LoadDataFile(stored), int(kLoaded));
        QCOMPARE(stored.ReminderCount(), 2);
        const Komunikat& birthday = stored[0];
        QCOMPARE(birthday.Tresc, Cp("Urodziny mamy+"));
        QCOMPARE(birthday.Data, D(2026, 12, 14));
        QCOMPARE(birthday.CoIle, -4);
        QCOMPARE(birthday.IlePrzed, 6);
        QCOMPARE(birthday.CzyPo, 1);
        QCOMPARE(birthday.Blok, 0);
        QCOMPARE(birthday.Ile, 1);
        const Komunikat& payday = stored[1];
        QCOMPARE(payday.Tresc, Cp("Wypłata+sprawdź konto+"));
        QCOMPARE(payday.Data, D(2026, 12, 8));
        QCOMPARE(payday.CoIle, -66);
        QCOMPARE(payday.IlePrzed, 3);
        QCOMPARE(payday.CzyPo, 0);
        QCOMPARE(payday.Ile, 2);

        // The tool lists what the engine computes for them.
        QProcess tool;
        tool.start(QStringLiteral(REMINDO_DATA_TOOL),
                   {"--file", QString::fromStdString(r.state.dataFile.Path()), "list", "--today",
                    "2026-12-08"});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
        const QStringList out =
            QString::fromUtf8(tool.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(out.size(), 3);
        const Date today = D(2026, 12, 8);
        for (int i = 0; i < 2; ++i) {
            const Komunikat& k = stored[i];
            const Occurrences o = OccurrencesOf(k, today);
            const DayClass c = ClassifyDay(k, today);
            const QStringList fields = out[i + 1].split(QLatin1Char('\t'));
            QCOMPARE(fields.value(0), QString::number(i + 1));
            QCOMPARE(fields.value(1), QString::number(k.CoIle));
            QCOMPARE(fields.value(6), Iso(o.next));
            QCOMPARE(fields.value(7), Iso(o.previous));
            QCOMPARE(fields.value(8), c.kind == DayClass::Before  ? QStringLiteral("before %1").arg(c.days)
                                      : c.kind == DayClass::After ? QStringLiteral("after %1").arg(c.days)
                                                                  : QStringLiteral("none"));
        }
        // As a person reads them: the birthday in six days, pay day on Christmas.
        QVERIFY2(out[1].contains("\t2026-12-14\t") && out[1].contains("\tbefore 6\t"), qPrintable(out[1]));
        QVERIFY2(out[1].endsWith("\tUrodziny mamy"), qPrintable(out[1]));
        QVERIFY2(out[2].contains("\t2026-12-25\t"), qPrintable(out[2]));
        QVERIFY2(out[2].endsWith(QStringLiteral("\tWypłata / sprawdź konto")), qPrintable(out[2]));
    }

    // The examination timer shows a reminder while an edit is open: the
    // reminder window answers for its own reminder, the edit goes on.
    void aReminderShownDuringAnEdit()
    {
        ProgramRig* program = nullptr;
        EditingRig r(D(2026, 12, 8), [&program](AppState& s) { return ProgramWindows(s, program); });
        r.Seed("Zadzwonić do mamy+", D(2026, 12, 8), 0, 0, 0, 0, 3);
        r.Seed("Kupić prezent+", D(2026, 12, 20), 0, 2);
        QVERIFY(r.SaveFile());
        TFGlowny& glowny = *program->windows->glowny;
        program->windows->program->TimerekTimer(); // the start: load, list, preparation

        program->tray->Item("WprowadzDane")->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(&r.dane));
        r.ClickRow(1);
        r.ClickDane(ld::kEdytujWpis);
        r.editor.Memo()->moveCursor(QTextCursor::End);
        r.TypeText(QStringLiteral(" dla taty"));

        r.clock.AdvanceMinutes(5);
        program->windows->program->TBadawczyTimer();
        QVERIFY(QTest::qWaitForWindowExposed(&glowny));
        QCOMPARE(r.state.engineState.CurrentReminderIndex, 0);
        ClickOn(glowny, TFGlowny::PlaceOf("LNieDzis"));
        QVERIFY(!glowny.isVisible());
        QCOMPARE(r.state.list[0].BlokDzis, 1);
        QVERIFY(r.editor.isVisible());
        QCOMPARE(r.editor.Memo()->toPlainText(), QStringLiteral("Kupić prezent dla taty"));

        r.ClickEditor(lw::kZapisz);
        r.ClickDane(ld::kZapisz);
        Komunikaty stored;
        QCOMPARE(r.state.dataFile.LoadDataFile(stored), int(kLoaded));
        QCOMPARE(stored.ReminderCount(), 2);
        QCOMPARE(stored[0].Tresc, Cp("Zadzwonić do mamy+"));
        QCOMPARE(stored[0].BlokDzis, 1);
        QCOMPARE(stored[1].Tresc, Cp("Kupić prezent dla taty+"));
    }
};

QTEST_MAIN(TestEditingRoad)
#include "test_editing_road.moc"
