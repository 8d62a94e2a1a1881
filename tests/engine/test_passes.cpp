#include "engine/rig.h"
#include "store/codec.h"

#include <QTest>

#include <algorithm>

using namespace rig;

namespace {

// The log lines from `from` on, without their date-and-time stamps.
std::vector<std::string> Texts(const DiagnosticLog& log, size_t from = 0, size_t stamp = 19)
{
    std::vector<std::string> out;
    for (size_t i = from; i < log.Lines().size(); ++i)
        out.push_back(log.Lines()[i].substr(stamp));
    return out;
}

std::vector<std::string> Cps(std::initializer_list<const char*> utf8)
{
    std::vector<std::string> out;
    for (const char* s : utf8)
        out.push_back(Cp(s));
    return out;
}

} // namespace

class TestPasses : public QObject {
    Q_OBJECT
private slots:
    void passLogAndWindowText()
    {
        Rig r(MakeDateTime(D(2026, 12, 8), 9, 0));
        r.settings.LogMode = 1; // no folder: recorded, never written
        r.settings.LogDetail = 3;
        r.log.SetMode(1);
        r.Add(-2, D(2026, 12, 1), 0, 0, 1, "Spotkanie+w biurze+");
        r.engine.PreparationPass();
        const size_t mark = r.log.Lines().size();
        r.At(9, 5);
        QCOMPARE(r.Pass(), 0);
        QCOMPARE(r.LastWarning(), 0);
        QCOMPARE(r.presenter.shown.back().text, std::string("8.12.2026 - wtorek\rSpotkanie\rw biurze\r"));
        QCOMPARE(r.presenter.autoHides, 1);
        QCOMPARE(r.log.Lines()[mark], std::string("8.12.2026 09:05:00 -----------------"));
        QCOMPARE(Texts(r.log, mark),
                 Cps({"-----------------", "Nadszedł czas badania zdarzeń", "-----------------",
                      "Komunikat nr 1 przed badaniem zdarzenia", "Zaczynamy badać zdarzenie nr 1",
                      "Ostrzeżenie jednorazowe przed czasem: 0 dni nr 1/1", "Zdarzenie nr 1 - to dzisiaj",
                      "Ostrzegamy!!!", "Koniec badania zdarzenie nr 1", "Komunikat nr 1 wartość zdarzenia - 0",
                      "Komunikat przed czasem do zdarzenia nr 1", ""}));

        // Shown once already: the next pass examines it and turns it down.
        const size_t mark2 = r.log.Lines().size();
        r.At(9, 10);
        QCOMPARE(r.Pass(), -1);
        QCOMPARE(Texts(r.log, mark2),
                 Cps({"-----------------", "Nadszedł czas badania zdarzeń", "-----------------",
                      "Komunikat nr 1 przed badaniem zdarzenia", "Zaczynamy badać zdarzenie nr 1",
                      "Zdarzenie nr 1 - to dzisiaj", "Za wcześnie na ostrzeżenie lub koniec ostrzeżeń",
                      "Koniec badania zdarzenie nr 1", "Komunikat nr 1 wartość zdarzenia - -5", ""}));
    }

    void quietLogLevels()
    {
        Rig r(MakeDateTime(D(2026, 12, 8), 9, 0));
        r.settings.LogMode = 3;
        r.log.SetMode(3);
        r.engine.PreparationPass();
        QCOMPARE(Texts(r.log), Cps({"", "Rozpoczęcie badania komunikatów", "********* 8.12.2026 *********",
                                    "Koniec badania komunikatów", "*************************** "}));
        const size_t mark = r.log.Lines().size();
        r.engine.ExaminationPass(); // empty list
        QCOMPARE(Texts(r.log, mark), Cps({"-----------------", ""}));

        // Blocked reminders at level 1, and the one-off's unconditional distance line.
        r.settings.LogDetail = 1;
        r.Add(0, D(2026, 12, 6), 2).Blok = 1;
        r.Add(-1, D(2026, 12, 6)).BlokDzis = 1;
        r.list[1].BlokDzisData = D(2026, 12, 8);
        r.Add(-2, D(2026, 12, 3), 1);
        const size_t mark2 = r.log.Lines().size();
        r.engine.PreparationPass();
        QCOMPARE(Texts(r.log, mark2),
                 Cps({"", "Rozpoczęcie badania komunikatów", "********* 8.12.2026 *********",
                      "---------------------------", "Badamy zdarzenie nr 1", "Ilosc dni do zdarzenia nr 1 - -2",
                      "---------------------------", "Badamy zdarzenie nr 2", "---------------------------",
                      "Badamy zdarzenie nr 3", "Koniec badania komunikatów", "*************************** "}));
        const size_t mark3 = r.log.Lines().size();
        r.engine.ExaminationPass();
        QCOMPARE(Texts(r.log, mark3),
                 Cps({"-----------------", "Nadszedł czas badania zdarzeń", "-----------------",
                      "Zaczynamy badać zdarzenie nr 1", "Zdarzenie nr 1 jest zablokowane", "-----------------",
                      "Zaczynamy badać zdarzenie nr 2", "Zdarzenie nr 2 jest zablokowane dziś",
                      "-----------------", "Zaczynamy badać zdarzenie nr 3",
                      "Zdarzenie nr 3 - dziś nie ostrzegamy", "Koniec badania zdarzenie nr 3", ""}));
    }

    void oneAtATimeInListOrder()
    {
        Rig r(MakeDateTime(D(2026, 12, 8), 8, 0));
        for (int i = 0; i < 3; ++i)
            r.Add(-1, D(2026, 1, 1));
        r.engine.PreparationPass();
        r.At(8, 0);
        QCOMPARE(r.Pass(), -1); // 59 minutes since "the last showing": not yet
        r.At(8, 2);
        QCOMPARE(r.Pass(), 0);
        r.At(8, 7);
        QCOMPARE(r.Pass(), 1); // the gap is per reminder
        r.At(8, 12);
        QCOMPARE(r.Pass(), 2);
        r.At(8, 17);
        QCOMPARE(r.Pass(), -1); // each may show once (Ile = 1)
        r.engine.PreparationPass(); // the list window saved
        r.At(9, 30);
        QCOMPARE(r.Pass(), 0);
    }

    // A reminder on the screen keeps its whole time there: a pass that comes
    // meanwhile shows nothing and uses up nothing, and the next reminder
    // comes at the first pass after it has gone.
    void aStandingReminderIsNotReplaced_data()
    {
        QTest::addColumn<int>("every");   // BadajCo, minutes
        QTest::addColumn<int>("stands");  // UkryjPo, seconds
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<int>("waited");  // passes that found one standing
        QTest::newRow("gone before the next pass") << 5 << 15 << QStringList{"08:05 1", "08:10 2", "08:15 3"} << 0;
        // The settings dialog offers both: 3 minutes, 405 seconds.
        QTest::newRow("standing through two passes")
            << 3 << 405 << QStringList{"08:03 1", "08:12 2", "08:21 3"} << 6;
        QTest::newRow("gone just at a pass") << 3 << 180 << QStringList{"08:03 1", "08:06 2", "08:09 3"} << 0;
    }

    void aStandingReminderIsNotReplaced()
    {
        QFETCH(int, every);
        QFETCH(int, stands);
        QFETCH(QStringList, shown);
        QFETCH(int, waited);
        Rig r(MakeDateTime(D(2026, 12, 8), 8, 0));
        r.settings.LogMode = 1; // no folder: recorded, never written
        r.settings.LogDetail = 2;
        r.log.SetMode(1);
        r.presenter.standsSeconds = stands;
        for (int i = 0; i < 3; ++i)
            r.Add(-1, D(2026, 1, 1));
        r.engine.PreparationPass();
        QStringList got;
        for (int m = 480 + every; m < 600; m += every) {
            r.At(m / 60, m % 60);
            const int i = r.Pass();
            if (i >= 0)
                got << QString::asprintf("%02d:%02d %d", m / 60, m % 60, i + 1);
        }
        QCOMPARE(got, shown);
        for (const Komunikat& k : r.list.items)
            QCOMPARE(k.ShownToday, 1); // each counted once, for the one showing it had
        const auto lines = Texts(r.log);
        QCOMPARE(int(std::count(lines.begin(), lines.end(), Cp("Poprzedni komunikat jest jeszcze widoczny"))),
                 waited);
    }

    void showingLimitAndGap()
    {
        Rig r(MakeDateTime(D(2026, 12, 8), 9, 58));
        r.Add(-1, D(2026, 1, 1), 0, 0, 3);
        r.engine.PreparationPass();
        std::vector<int> minutes;
        for (int m = 600; m < 1440; m += 5) {
            r.At(m / 60, m % 60);
            if (r.Pass() == 0)
                minutes.push_back(m);
        }
        QCOMPARE(minutes, (std::vector<int>{600, 665, 730})); // 10:00, 11:05, 12:10
        QCOMPARE(r.list[0].ShownToday, 3);
    }

    void oneOffAcrossItsWindow()
    {
        for (int czyPo : {0, 1}) {
            Rig r(MakeDateTime(D(2026, 12, 6), 0, 0));
            r.settings.PokazCo = 0;
            r.Add(0, D(2026, 12, 8), 2, czyPo, 1, "Termin+");
            r.engine.PreparationPass();
            std::vector<std::pair<int32_t, std::string>> seen;
            for (int day = 0; day < 6; ++day) {
                if (day > 0)
                    r.NextDayAt(0, 3); // the first pass of the day prepares and may show
                if (r.Pass() == 0 || (day == 0 && r.presenter.shown.size() == 1))
                    seen.emplace_back(r.LastWarning(), r.presenter.shown.back().text);
                else
                    seen.emplace_back(NoWarning, "");
            }
            QCOMPARE(seen[0].first, 2);
            QCOMPARE(seen[0].second, Cp("8.12.2026 - wtorek\rTermin\r"));
            QCOMPARE(seen[1].first, 1);
            QCOMPARE(seen[2].first, 0);
            QCOMPARE(seen[2].second, Cp("8.12.2026 - wtorek\rTermin\r"));
            QCOMPARE(seen[3].first, czyPo ? AfterWarning : NoWarning);
            if (czyPo)
                QCOMPARE(seen[3].second, Cp("Upłynął termin zdarzenia!\rTermin\r"));
            QCOMPARE(seen[4].first, czyPo ? AfterWarning : NoWarning);
            QCOMPARE(seen[5].first, NoWarning);
            QCOMPARE(r.list[0].Blok, 1); // three days past a window of two
        }
    }

    // A monthly reminder on the 31st falls on the last day of a shorter month:
    // warned a day ahead and on the day, never skipped to the next long month.
    void monthlyOnTheThirtyFirstInShortMonths()
    {
        const struct {
            Date today;
            int32_t warning;
            const char* head;
        } cases[] = {
            {D(2026, 4, 29), 1, "30.04.2026 - czwartek\r"},
            {D(2026, 4, 30), 0, "30.04.2026 - czwartek\r"},
            {D(2027, 2, 28), 0, "28.02.2027 - niedziela\r"},
            {D(2028, 2, 28), 1, "29.02.2028 - wtorek\r"},
            {D(2026, 5, 30), 1, "31.05.2026 - niedziela\r"},
        };
        for (const auto& c : cases) {
            Rig r(MakeDateTime(c.today, 9, 0));
            r.Add(-3, D(2026, 1, 31), 1, 0, 1, "Czynsz+");
            r.engine.PreparationPass();
            QVERIFY(r.list[0].WarnToday);
            r.At(10, 0);
            QCOMPARE(r.Pass(), 0);
            QCOMPARE(r.LastWarning(), c.warning);
            QCOMPARE(r.presenter.shown.back().text, Cp(c.head) + "Czynsz\r");
        }
        // Two days before the shortened date lies outside a window of one day.
        Rig r(MakeDateTime(D(2026, 4, 28), 9, 0));
        r.Add(-3, D(2026, 1, 31), 1, 0, 1, "Czynsz+");
        r.engine.PreparationPass();
        QVERIFY(!r.list[0].WarnToday);
    }

    void screenSaverHoldsEverything()
    {
        Rig r(MakeDateTime(D(2026, 12, 8), 9, 0));
        r.settings.LogDetail = 2;
        r.settings.LogMode = 3;
        r.log.SetMode(3);
        r.Add(-1, D(2026, 1, 1), 0, 0, 2);
        r.engine.PreparationPass();
        r.saver.running = true;
        const size_t mark = r.log.Lines().size();
        r.At(10, 0);
        r.Pass();
        QCOMPARE(Texts(r.log, mark), Cps({"-----------------", "Nadszedł czas badania zdarzeń",
                                          "Działa wygaszacz", "-----------------"}));
        r.settings.LogMode = 0;
        for (int m = 5; m < 60; m += 5) {
            r.At(10, m);
            QCOMPARE(r.Pass(), -1);
        }
        QCOMPARE(r.list[0].ShownToday, 0);
        QCOMPARE(r.list[0].LastShownMinute, 540 - 59);
        r.saver.running = false;
        r.At(11, 0);
        QCOMPARE(r.Pass(), 0);
    }

    void midnightPreparesTheNewDay()
    {
        Rig r(MakeDateTime(D(2026, 12, 8), 23, 50));
        r.settings.LogDetail = 1;
        r.log.SetMode(3);
        r.Add(-2, D(2026, 12, 2), 0, 0, 1); // Wednesdays
        r.engine.PreparationPass();
        QVERIFY(!r.list[0].WarnToday);
        r.At(23, 55);
        QCOMPARE(r.Pass(), -1);
        r.NextDayAt(0, 1);
        const size_t mark = r.log.Lines().size();
        r.Pass();
        QCOMPARE(r.state.DataAkt, D(2026, 12, 9));
        QCOMPARE(r.state.LastPreparationDate, D(2026, 12, 9));
        QVERIFY(r.list[0].WarnToday);
        const std::vector<std::string> lines = Texts(r.log, mark);
        QCOMPARE(lines[1], Cp("Rozpoczęcie badania komunikatów"));
        QCOMPARE(lines[2], std::string("********* 9.12.2026 *********"));
        const auto it = std::find(lines.begin(), lines.end(), Cp("Minęła północ - dokonano ponownego badania komunikatów"));
        QVERIFY(it != lines.end());
        QCOMPARE(*(it - 1), std::string("-----------------"));
        QCOMPARE(*(it - 2), std::string("*************************** "));
        QCOMPARE(*(it + 1), std::string("-----------------")); // the pass goes on as usual
        r.At(0, 6);
        QCOMPARE(r.Pass(), 0);
    }

    // The day used to be compared by its number only.
    void newDayComparesWholeDates()
    {
        Rig r(MakeDateTime(D(2026, 11, 5), 22, 0));
        r.Add(-1, D(2026, 1, 1));
        r.engine.PreparationPass();
        r.clock.Set(MakeDateTime(D(2026, 12, 5), 8, 0)); // a month asleep
        r.Pass();
        QCOMPARE(r.state.DataAkt, D(2026, 12, 5));
        r.clock.Set(MakeDateTime(D(2026, 12, 4), 8, 0)); // the clock set back a day
        r.Pass();
        QCOMPARE(r.state.DataAkt, D(2026, 12, 4));
        QCOMPARE(r.state.LastPreparationDate, D(2026, 12, 4));
    }

    void aClockThatJumpsAheadAndBackBlocksNothingForGood()
    {
        Rig r(MakeDateTime(D(2026, 12, 8), 9, 0));
        r.settings.LogMode = 1;
        r.log.SetMode(1);
        for (int ahead = 0; ahead < 20; ++ahead)
            r.Add(0, IncDay(D(2026, 12, 8), ahead), 2); // one-off, warned 2 days before
        r.list[1].Blok = 1;                             // the user's own block
        r.Add(0, D(2026, 11, 1), 2);                    // long past
        r.engine.PreparationPass();
        r.clock.Set(MakeDateTime(D(2027, 1, 8), 9, 0)); // a month ahead
        r.Pass();
        for (const Komunikat& k : r.list.items)
            QCOMPARE(k.Blok, 1);
        r.clock.Set(MakeDateTime(D(2026, 12, 8), 9, 5)); // set right again
        r.Pass();
        for (int i = 0; i < 20; ++i)
            QVERIFY2(r.list[i].Blok == (i == 1 ? 1 : 0), qPrintable(QString::number(i)));
        QCOMPARE(r.list[20].Blok, 1);
        QVERIFY(r.list[0].WarnToday && r.list[2].WarnToday);
        QVERIFY(std::any_of(r.log.Lines().begin(), r.log.Lines().end(), [](const std::string& l) {
            return l.find(Cp("Zegar cofnięty: zdjęto blokadę założoną 8.01.2027 - zdarzenie nr 1")) != std::string::npos;
        }));
    }

    // A save just after midnight prepares with yesterday but stamps today.
    void saveAfterMidnightStillMovesToday()
    {
        Rig r(MakeDateTime(D(2026, 12, 8), 23, 50));
        r.Add(-2, D(2026, 12, 2), 0, 0, 1); // Wednesdays
        r.engine.PreparationPass();
        r.NextDayAt(0, 1);
        r.engine.PreparationPass(); // the list window saved
        QCOMPARE(r.state.DataAkt, D(2026, 12, 8));
        r.At(0, 2);
        r.Pass();
        QCOMPARE(r.state.DataAkt, D(2026, 12, 9));
        QVERIFY(r.list[0].WarnToday);
    }

    void otherLogModesShowNothingAndKeepTheDay()
    {
        Rig r(MakeDateTime(D(2026, 12, 8), 9, 0));
        r.settings.LogMode = 3;
        r.Add(-1, D(2026, 1, 1), 0, 0, 2);
        r.Add(-1, D(2026, 1, 1), 0, 0, 2);
        r.engine.PreparationPass();
        r.At(11, 0);
        QCOMPARE(r.Pass(), -1);
        QCOMPARE(r.state.CurrentReminderIndex, 0); // chosen, counted, not shown
        QCOMPARE(r.list[0].ShownToday, 1);
        QCOMPARE(r.list[0].LastShownMinute, 660); // the pass time's minute
        r.At(11, 30);
        r.Pass();
        QCOMPARE(r.state.CurrentReminderIndex, 1); // the first still needs its gap
        r.NextDayAt(0, 30);
        r.Pass();
        QCOMPARE(r.state.DataAkt, D(2026, 12, 8));
    }

    void preparationOfOneOffs()
    {
        Rig r(MakeDateTime(D(2026, 12, 8), 9, 0));
        r.settings.LogDetail = 2;
        r.log.SetMode(3);
        r.Add(0, D(2026, 12, 3), 3);    // five days ago
        r.Add(0, D(2026, 12, 5), 3, 1); // three days ago
        Komunikat& ahead = r.Add(0, D(2026, 12, 18), 3);
        ahead.Blok = 1;
        ahead.BlokDzis = 1;
        r.engine.PreparationPass();
        QCOMPARE(r.list[0].Blok, 1);
        QVERIFY(!r.list[0].WarnToday);
        QVERIFY(std::find(r.log.Lines().begin(), r.log.Lines().end(),
                          "8.12.2026 09:00:00 " + Cp("Zablokowano na stałe zdarzenie nr 1")) != r.log.Lines().end());
        QVERIFY(r.list[1].WarnToday);
        QCOMPARE(r.list[2].Blok, 0);
        QCOMPARE(r.list[2].BlokDzis, 0);
        QVERIFY(!r.list[2].WarnToday);
        r.At(10, 0);
        QCOMPARE(r.Pass(), 1);
        QCOMPARE(r.LastWarning(), AfterWarning);
    }

    void blockForGoodEndsOutsideTheWindow()
    {
        Rig r(MakeDateTime(D(2026, 12, 7), 9, 0)); // Monday
        r.Add(-2, D(2026, 11, 30), 1).Blok = 1;
        r.Add(-2, D(2026, 11, 30), 3).Blok = 1;
        std::vector<std::pair<int, bool>> days; // (Blok, WarnToday) per day
        for (int day = 0; day < 14; ++day) {
            if (day > 0)
                r.NextDayAt(0, 5);
            r.Pass();
            days.emplace_back(r.list[0].Blok, r.list[0].WarnToday);
            QCOMPARE(r.list[1].Blok, 1); // a window of 3 covers every day of the week
        }
        QCOMPARE(days[0], std::make_pair(1, false));  // Monday, its day
        QCOMPARE(days[1], std::make_pair(1, false));  // one day after: still in the window
        QCOMPARE(days[2], std::make_pair(0, false));  // two days away both ways: released
        QCOMPARE(days[5], std::make_pair(0, false));
        QCOMPARE(days[6], std::make_pair(0, true));   // Sunday, a day before
        QCOMPARE(days[7], std::make_pair(0, true));
    }

    void blockForToday()
    {
        Rig r(MakeDateTime(D(2026, 12, 8), 9, 0));
        r.Add(-1, D(2026, 1, 1));
        r.Add(-2, D(2026, 12, 1), 3);
        Komunikat& daily = r.list[0];
        Komunikat& both = r.list[1];
        r.engine.PreparationPass();
        for (Komunikat* k : {&daily, &both}) {
            k->BlokDzis = 1;
            k->BlokDzisData = r.state.DataAkt;
        }
        both.Blok = 1;
        r.At(12, 0);
        r.engine.PreparationPass(); // a save on the same day
        QCOMPARE(daily.BlokDzis, 1);
        QCOMPARE(r.Pass(), -1);
        r.NextDayAt(0, 5);
        r.Pass();
        QCOMPARE(daily.BlokDzis, 0);
        QVERIFY(daily.WarnToday);
        QCOMPARE(both.Blok, 1); // blocked for good and inside its window
        QCOMPARE(both.BlokDzis, 1);
        QVERIFY(!both.WarnToday);
    }

    void dailyBlockedForGoodComesBackAtTheNextSave()
    {
        Rig r(MakeDateTime(D(2026, 12, 8), 9, 0));
        Komunikat& k = r.Add(-1, D(2026, 1, 1), 0, 0, 1);
        r.engine.PreparationPass();
        r.At(10, 0);
        QCOMPARE(r.Pass(), 0);
        k.Blok = 1; // never again
        r.At(11, 30);
        r.engine.PreparationPass();
        QCOMPARE(k.Blok, 0);
        QCOMPARE(k.ShownToday, 0); // a save restarts the day's count
        r.At(12, 35);
        QCOMPARE(r.Pass(), 0);
    }

    void codesWithoutAKindAreLeftAlone()
    {
        Rig r(MakeDateTime(D(2026, 12, 8), 9, 0));
        r.settings.PokazCo = 0;
        for (int32_t code : {1, -7, -18, -20, -69, -10})
            r.Add(code, D(2026, 12, 8), 5, 1, 8).WarnToday = true;
        r.engine.PreparationPass();
        for (int m = 0; m < 24 * 60; m += 30) {
            r.At(m / 60, m % 60);
            QCOMPARE(r.Pass(), -1);
        }
        Komunikat& anyDay = r.Add(INT32_MIN, D(2026, 12, 8), 0, 0, 1); // k far above 6
        r.engine.PreparationPass();
        QVERIFY(anyDay.WarnToday);
        r.At(23, 59);
        QCOMPARE(r.Pass(), 6);
    }
};

QTEST_GUILESS_MAIN(TestPasses)
#include "test_passes.moc"
