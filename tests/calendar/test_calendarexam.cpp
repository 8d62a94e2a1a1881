#include "calendar/calendarexam.h"

#include "dates/datetools.h"
#include "engine/oracle.h"
#include "engine/rig.h"
#include "store/codec.h"
#include "store/fixedformats.h"
#include "store/log.h"
#include "store/reminders.h"
#include "store/settings.h"

#include <QTest>

using namespace remindo;

namespace {

Date D(int y, int m, int d) { return DateFromYmd(y, m, d); }

struct Cal {
    Date akt = D(2026, 12, 8);
    DateTime pass = MakeDateTime(akt, 12, 0);
    FixedFormats fmt;
    DiagnosticLog log{akt, pass, fmt};
    Settings settings;
    Komunikaty list;
    CalendarExamination exam{list, settings, log, fmt};

    void Add(int32_t code, Date data, int blok = 0)
    {
        list.AddReminder("x+", data, code, 0, 0, blok, 1, akt);
    }
    // Day index (0 = Monday) -> reminder indices, for the week of `day`.
    std::vector<std::vector<int32_t>> Week(Date day)
    {
        exam.ExamineWeek(day);
        std::vector<std::vector<int32_t>> out;
        for (const Zdarzenie& z : exam.Tydzien)
            out.push_back(z.Zdarzenia);
        return out;
    }
    // The weekdays (0 = Monday) of the week of `day` on which reminder `i` is listed.
    std::vector<int> DaysOf(Date day, int32_t i)
    {
        std::vector<int> out;
        const auto w = Week(day);
        for (int d = 0; d < 7; ++d)
            if (std::find(w[size_t(d)].begin(), w[size_t(d)].end(), i) != w[size_t(d)].end())
                out.push_back(d);
        return out;
    }
};

using Days = std::vector<int>;

} // namespace

class TestCalendarExam : public QObject {
    Q_OBJECT
private slots:
    void weekRunsMondayToSunday()
    {
        Cal c;
        c.exam.ExamineWeek(D(2026, 12, 13)); // a Sunday
        QCOMPARE(c.exam.Tydzien[0].Dzien, D(2026, 12, 7));
        QCOMPARE(c.exam.Tydzien[6].Dzien, D(2026, 12, 13));
        c.exam.ExamineWeek(D(2026, 12, 14)); // a Monday
        QCOMPARE(c.exam.Tydzien[0].Dzien, D(2026, 12, 14));
        for (int d = 0; d < 7; ++d) {
            QCOMPARE(c.exam.Tydzien[size_t(d)].Dzien, D(2026, 12, 14 + d));
            QVERIFY(c.exam.Tydzien[size_t(d)].Zdarzenia.empty()); // empty list
        }
    }

    void rulesOfEachKind()
    {
        Cal c;
        c.Add(0, D(2026, 12, 9));          // 0 one-off
        c.Add(-1, D(2030, 1, 1));          // 1 daily, not before its date
        c.Add(-2, D(2027, 1, 13));         // 2 weekly, first date next month (a Wednesday)
        c.Add(-3, D(2026, 1, 31));         // 3 monthly on the 31st
        c.Add(-4, D(2024, 2, 29));         // 4 yearly on 29 February
        c.Add(10, D(2027, 1, 7), 1);       // 5 every 10 days, blocked, starts later
        c.Add(-62, D(2026, 1, 1));         // 6 last Monday
        c.Add(-23, D(2026, 1, 1));         // 7 second Tuesday
        c.Add(-55, D(2026, 1, 1));         // 8 every Thursday
        const Date week = D(2026, 12, 8);  // 7..13 December 2026
        QCOMPARE(c.DaysOf(week, 0), Days({2}));
        QCOMPARE(c.DaysOf(week, 1), Days{});
        QCOMPARE(c.DaysOf(D(2030, 1, 1), 1), Days({1, 2, 3, 4, 5, 6})); // from Tuesday 1 January on
        QCOMPARE(c.DaysOf(week, 2), Days{});
        QCOMPARE(c.DaysOf(D(2027, 1, 13), 2), Days({2}));
        QCOMPARE(c.DaysOf(week, 3), Days{});
        QCOMPARE(c.DaysOf(D(2026, 12, 31), 3), Days({3}));
        QCOMPARE(c.DaysOf(D(2027, 2, 28), 3), Days({6})); // no 31st: its last day, a Sunday
        QCOMPARE(c.DaysOf(D(2027, 4, 30), 3), Days({4}));
        QCOMPARE(c.DaysOf(D(2027, 2, 28), 4), Days({6})); // 28 February in a common year
        QCOMPARE(c.DaysOf(D(2028, 2, 29), 4), Days({1})); // the 29th alone in a leap year
        QCOMPARE(c.DaysOf(week, 5), Days{}); // 8 Dec lies 30 days before its first date
        QCOMPARE(c.DaysOf(D(2027, 1, 7), 5), Days({3}));
        QCOMPARE(c.DaysOf(D(2026, 12, 28), 6), Days({0}));
        QCOMPARE(c.DaysOf(D(2026, 12, 21), 6), Days{});
        QCOMPARE(c.DaysOf(week, 7), Days({1}));
        QCOMPARE(c.DaysOf(week, 8), Days({3}));
    }

    // The yearly rule needs the month as well as the day: 29 February must not
    // turn up on 29 March, nor 10 June on 10 July.
    void yearlyRuleComparesTheMonth()
    {
        Cal c;
        c.Add(-4, D(2024, 2, 29)); // 0
        c.Add(-4, D(2020, 6, 10)); // 1
        QCOMPARE(c.DaysOf(D(2028, 3, 29), 0), Days{}); // Wednesday 29 March 2028
        QCOMPARE(c.DaysOf(D(2028, 2, 29), 0), Days({1}));
        QCOMPARE(c.DaysOf(D(2026, 7, 10), 1), Days{});
        QCOMPARE(c.DaysOf(D(2026, 6, 10), 1), Days({2}));
    }

    void codesThatNameNoRule()
    {
        Cal c;
        for (int32_t code : {1, -5, -10, -18, -19, -20, -30, -59, -60, -69})
            c.Add(code, D(2026, 12, 9));
        for (const auto& day : c.Week(D(2026, 12, 9)))
            QVERIFY(day.empty());
        // A count above 6 the passes read as every day, and so does the calendar.
        Cal every;
        for (int32_t code : {-71, -99, -1000, INT32_MIN})
            every.Add(code, D(2026, 12, 9));
        for (int32_t i = 0; i < 4; ++i)
            QCOMPARE(every.DaysOf(D(2026, 12, 9), i), Days({2, 3, 4, 5, 6}));
    }

    void weekdayRulesMatchTheCalendar()
    {
        Cal c;
        const int32_t codes[] = {-11, -17, -24, -32, -45, -41, -51, -57, -61, -67, -64};
        for (int32_t code : codes)
            c.Add(code, D(2026, 1, 1));
        for (Date monday = D(2025, 12, 29); monday < D(2028, 1, 1); monday = IncDay(monday, 7)) {
            c.exam.ExamineWeek(monday);
            for (int d = 0; d < 7; ++d) {
                const Zdarzenie& z = c.exam.Tydzien[size_t(d)];
                for (int i = 0; i < int(std::size(codes)); ++i) {
                    const bool listed = std::find(z.Zdarzenia.begin(), z.Zdarzenia.end(), i) != z.Zdarzenia.end();
                    QCOMPARE(listed, oracle::Occurs(c.list[i], z.Dzien));
                }
            }
        }
    }

    void tallyOneByOneMatchesTheExamination()
    {
        // The week of a list read one reminder at a time is the week of the
        // list held whole, for every kind, in weeks across years and a clear;
        // and each reminder stands on the days it occurs, from its first on.
        Cal c;
        const int32_t codes[] = {0, -1, -2, -3, -4, 2, 9, 365, -11, -24, -45, -57, -61, -67, -73, -99, 1, 12345};
        for (int i = 0; i < 60; ++i)
            c.Add(codes[size_t(i) % std::size(codes)], AddDays(D(2024, 2, 29), i * 37));
        c.Add(-3, D(2026, 1, 31));
        c.Add(-3, D(2027, 3, 30));
        c.Add(-4, D(2028, 2, 29));
        for (Date day = D(2026, 1, 1); day < D(2029, 1, 1); day = IncDay(day, 11)) {
            WeekTally tally(day);
            tally.Add(0, -1, day); // from an earlier reading, gone with the clear
            tally.Clear();
            for (int i = 0; i < c.list.ReminderCount(); ++i)
                tally.Add(i, c.list[i].CoIle, c.list[i].Data);
            c.exam.ExamineWeek(day);
            for (int d = 0; d < 7; ++d) {
                const Zdarzenie& z = c.exam.Tydzien[size_t(d)];
                QCOMPARE(tally.Days()[size_t(d)].Dzien, z.Dzien);
                QCOMPARE(tally.Days()[size_t(d)].Zdarzenia, z.Zdarzenia);
                for (int i = 0; i < c.list.ReminderCount(); ++i) {
                    const bool listed = std::find(z.Zdarzenia.begin(), z.Zdarzenia.end(), i) != z.Zdarzenia.end();
                    QVERIFY2(listed == oracle::Occurs(c.list[i], z.Dzien),
                             qPrintable(QString("code %1 on day %2").arg(c.list[i].CoIle).arg(z.Dzien.serial)));
                }
            }
        }
    }

    // A reminder that has not begun by this week: the passes warn and the
    // calendar lists it only from its first date on (its own window before
    // that opening as ever). Warnings: the first showing of each day.
    void notBegunThisWeek_data()
    {
        QTest::addColumn<int32_t>("code");
        QTest::addColumn<int>("data"); // days after Monday 7 December 2026
        QTest::addColumn<int32_t>("ilePrzed");
        QTest::addColumn<QString>("warnings");
        QTest::addColumn<QString>("listed");
        QTest::newRow("daily next month") << -1 << 28 << 0 << "- - - - - - -" << "";
        QTest::newRow("weekly next month") << -2 << 37 << 3 << "- - - - - - -" << "";
        QTest::newRow("daily from Thursday") << -1 << 3 << 2 << "- 2 1 0 0 0 0" << "3456";
        QTest::newRow("weekly from Thursday") << -2 << 3 << 2 << "- 2 1 0 - - -" << "3";
        QTest::newRow("Tuesdays from Wednesday") << -53 << 2 << 0 << "- - - - - - -" << "";
        QTest::newRow("every day by count 7 from Saturday") << -71 << 5 << 0 << "- - - - - 0 0" << "56";
    }

    void notBegunThisWeek()
    {
        QFETCH(int32_t, code);
        QFETCH(int, data);
        QFETCH(int32_t, ilePrzed);
        const Date monday = D(2026, 12, 7);
        rig::Rig r(MakeDateTime(monday, 0, 0));
        r.Add(code, IncDay(monday, data), ilePrzed);
        r.engine.PreparationPass();
        QStringList warnings;
        for (int d = 0; d < 7; ++d) {
            if (d > 0)
                r.NextDayAt(0, 0);
            const size_t before = r.presenter.shown.size();
            for (int hour = 1; hour < 24; ++hour) {
                r.At(hour, 0);
                r.Pass();
            }
            // Marked by the day's preparation exactly when the day warns.
            QCOMPARE(r.list[0].WarnToday, ClassifyDay(r.list[0], r.state.DataAkt).kind != DayClass::None);
            warnings << (r.presenter.shown.size() > before ? QString::number(r.presenter.shown[before].warning)
                                                           : QStringLiteral("-"));
        }
        QTEST(warnings.join(' '), "warnings");
        CalendarExamination exam(r.list, r.settings, r.log, r.formats);
        exam.ExamineWeek(monday);
        QString listed;
        for (int d = 0; d < 7; ++d)
            if (!exam.Tydzien[size_t(d)].Zdarzenia.empty())
                listed += QString::number(d);
        QTEST(listed, "listed");
    }

    void logLines()
    {
        Cal c;
        c.settings.LogDetail = 3;
        c.log.SetMode(3);
        c.Add(0, D(2026, 12, 9));
        c.exam.ExamineWeek(D(2026, 12, 9));
        std::vector<std::string> lines;
        for (const std::string& l : c.log.Lines())
            lines.push_back(l.substr(19));
        QCOMPARE(lines.size(), size_t(3 + 7 * 2 + 1 + 2));
        QCOMPARE(lines[0], std::string());
        QCOMPARE(lines[1], Cp("Rozpoczęcie badania komunikatów do kalendarza"));
        QCOMPARE(lines[2], std::string("****************** "));
        QCOMPARE(lines[3], std::string("---- 7.12.2026----"));
        QCOMPARE(lines[4], std::string("Badanie komunikatu do kalendarza nr 1"));
        QCOMPARE(lines[5], std::string("---- 8.12.2026----"));
        QCOMPARE(lines[9], std::string("Zdarzenie nr 0 do kalendarza")); // counted from 0 here
        QCOMPARE(lines[lines.size() - 2], Cp("Koniec badania komunikatów do kalendarza"));
        QCOMPARE(lines.back(), std::string("****************** "));

        c.settings.LogDetail = 1;
        const size_t before = c.log.Lines().size();
        c.exam.ExamineWeek(D(2026, 12, 9));
        QCOMPARE(c.log.Lines().size() - before, size_t(5));
    }
};

QTEST_GUILESS_MAIN(TestCalendarExam)
#include "test_calendarexam.moc"
