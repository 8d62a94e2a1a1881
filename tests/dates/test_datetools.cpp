#include "dates/clock.h"
#include "dates/datetools.h"

#include <QTest>

#include <random>

using namespace remindo;

namespace {

Date D(int y, int m, int d) { return DateFromYmd(y, m, d); }

// An independent calendar: walks day by day from 1 March 1900 (a Thursday),
// knowing only the Gregorian leap rule and the month lengths.
struct RefDay {
    int y, m, d, weekday; // weekday 0 = Sunday
};
std::vector<RefDay> ReferenceCalendar()
{
    std::vector<RefDay> days;
    int y = 1900, m = 3, d = 1, wd = 4;
    const int len[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    while (y < 2101) {
        days.push_back({y, m, d, wd});
        const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
        const int ml = len[m - 1] + (m == 2 && leap);
        wd = (wd + 1) % 7;
        if (++d > ml) {
            d = 1;
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
    }
    return days;
}

// The searches exactly as first written: walking one day at a time.
Date WalkNextNth(int w, int n, Date date)
{
    Date cursor = date;
    for (;;) {
        Date day = FirstDayOfMonth(cursor);
        const int month = MonthOf(day);
        int count = 0;
        bool found = false;
        while (MonthOf(day) == month) {
            if (WeekdayOfDate(day) + 1 == w && ++count == n) {
                found = true;
                break;
            }
            day = IncDay(day, 1);
        }
        if (!found) {
            cursor = day; // day 1 of the next month
            continue;
        }
        if (day >= date)
            return day;
        cursor = IncMonth(date, 1);
        date = FirstDayOfMonth(cursor); // any later nth w is fine now
    }
}
Date WalkPrevNth(int w, int n, Date date)
{
    Date cursor = FirstDayOfMonth(date);
    for (;;) {
        Date day = cursor;
        int count = 0;
        while (!(WeekdayOfDate(day) + 1 == w && ++count == n))
            day = IncDay(day, 1);
        if (day <= date)
            return day;
        cursor = FirstDayOfMonth(IncMonth(FirstDayOfMonth(date), -1));
        date = LastDayOfMonth(cursor);
    }
}
Date WalkLastOfMonth(int w, Date anyDay)
{
    Date day = LastDayOfMonth(anyDay);
    while (WeekdayOfDate(day) + 1 != w)
        day = IncDay(day, -1);
    return day;
}

} // namespace

class TestDateTools : public QObject {
    Q_OBJECT
private slots:
    void serialsAndEpoch()
    {
        QCOMPARE(D(1899, 12, 30).serial, 0);
        QCOMPARE(D(1900, 1, 1).serial, 2);
        QCOMPARE(D(2026, 12, 8).serial, 46364);
        QCOMPARE(D(1, 1, 1).serial, kMinSerial);
        QCOMPARE(D(9999, 12, 31).serial, kMaxSerial);
        Date out;
        QVERIFY(!TryDateFromYmd(2023, 2, 29, out));
        QVERIFY(!TryDateFromYmd(2024, 13, 1, out));
        QVERIFY(!TryDateFromYmd(0, 1, 1, out));
        QVERIFY(TryDateFromYmd(2024, 2, 29, out) && out == D(2024, 2, 29));
        // Arithmetic saturates instead of overflowing.
        QCOMPARE(AddDays(Date(kMaxSerial), 1000000000LL), Date(kMaxSerial));
        QCOMPARE(IncYear(D(9999, 6, 1), 5), Date(kMaxSerial));
        QCOMPARE(IncMonth(D(1, 2, 1), -100), Date(kMinSerial));
    }

    void knownDays()
    {
        QCOMPARE(WeekdayOf(1899, 12, 30), 6);
        QCOMPARE(WeekdayOf(2000, 1, 1), 6);
        QCOMPARE(WeekdayOf(2024, 2, 29), 4);
        QCOMPARE(WeekdayOf(2026, 12, 7), 1);
        QVERIFY(!IsLeapYear(1900));
        QVERIFY(IsLeapYear(2000));
        QVERIFY(!IsLeapYear(2023));
        QVERIFY(IsLeapYear(2024));
        QVERIFY(!IsLeapYear(2100));
        QCOMPARE(DayName(1), std::string_view("poniedzia\xB3" "ek"));
        QCOMPARE(DayName(3), std::string_view("\x9C" "roda"));
        QCOMPARE(DayName(7), std::string_view());
        QCOMPARE(DayName(-1), std::string_view());
    }

    // Every day from 1 March 1900 to 31 December 2100 against the walked calendar.
    void agreesWithTheCalendar()
    {
        const auto ref = ReferenceCalendar();
        Date expected = D(1900, 3, 1);
        for (size_t i = 0; i < ref.size(); ++i) {
            const RefDay& r = ref[i];
            const Date day = D(r.y, r.m, r.d);
            QCOMPARE(day, expected);
            expected = IncDay(expected, 1);
            const Ymd back = YmdOf(day);
            QCOMPARE(back.year, r.y);
            QCOMPARE(back.month, r.m);
            QCOMPARE(back.day, r.d);
            QCOMPARE(WeekdayOfDate(day), r.weekday);
            QCOMPARE(WeekdayOf(r.y, r.m, r.d), r.weekday);
            const bool lastOfMonth = i + 1 == ref.size() || ref[i + 1].d == 1;
            if (lastOfMonth) {
                QCOMPARE(DaysInMonth(r.y, r.m), r.d);
                QCOMPARE(DaysInMonthOf(day), r.d);
                QCOMPARE(LastDayOfMonth(day), day);
            }
            QCOMPARE(FirstDayOfMonth(day), D(r.y, r.m, 1));
            QCOMPARE(FirstWeekdayOfMonth(r.y, r.m), WeekdayOfDate(D(r.y, r.m, 1)));
            // Weeks run Monday to Sunday.
            const Date monday = MondayOfWeek(day);
            QCOMPARE(WeekdayOfDate(monday), 1);
            QVERIFY(day - monday >= 0 && day - monday <= 6);
            for (int w = 1; w <= 7; ++w) {
                const Date next = NextWeekday(w, day), prev = PrevWeekday(w, day);
                QCOMPARE(WeekdayOfDate(next) + 1, w);
                QCOMPARE(WeekdayOfDate(prev) + 1, w);
                QVERIFY(next - day >= 0 && next - day < 7);
                QVERIFY(day - prev >= 0 && day - prev < 7);
                // The last w of a month, searched both ways.
                const Date lastHere = WalkLastOfMonth(w, day);
                const Date nextLast = NextLastWeekdayOfMonth(w, day);
                QCOMPARE(nextLast, lastHere >= day ? lastHere : WalkLastOfMonth(w, IncMonth(day, 1)));
                const Date prevLast = PrevLastWeekdayOfMonth(w, day);
                QCOMPARE(prevLast, lastHere <= day ? lastHere : WalkLastOfMonth(w, IncMonth(day, -1)));
            }
        }
    }

    // The closed-form nth-weekday searches give what the day-by-day walks give.
    void nthWeekdaySearchesEqualTheWalks()
    {
        for (Date day = D(1900, 3, 1); day <= D(2100, 12, 31); day = IncDay(day, 3)) {
            for (int w = 1; w <= 7; ++w)
                for (int n = 1; n <= 4; ++n) {
                    const Date next = NextNthWeekdayOfMonth(w, n, day);
                    const Date prev = PrevNthWeekdayOfMonth(w, n, day);
                    if (next != WalkNextNth(w, n, day) || prev != WalkPrevNth(w, n, day))
                        QFAIL(qPrintable(QStringLiteral("w=%1 n=%2 serial=%3").arg(w).arg(n).arg(day.serial)));
                }
        }
        QCOMPARE(NextNthWeekdayOfMonth(2, 1, D(2026, 12, 7)), D(2026, 12, 7));
        QCOMPARE(NextNthWeekdayOfMonth(2, 1, D(2026, 12, 8)), D(2027, 1, 4));
        QCOMPARE(NextLastWeekdayOfMonth(6, D(2026, 12, 26)), D(2027, 1, 29));
        QCOMPARE(PrevLastWeekdayOfMonth(6, D(2026, 12, 20)), D(2026, 11, 27));
        // Outside the searches' contract they answer the date instead of looping.
        QCOMPARE(NextWeekday(0, D(2026, 12, 8)), D(2026, 12, 8));
        QCOMPARE(NextNthWeekdayOfMonth(8, 2, D(2026, 12, 8)), D(2026, 12, 8));
        QCOMPARE(PrevNthWeekdayOfMonth(2, 9, D(2026, 12, 8)), D(2026, 12, 8));
        QCOMPARE(NextLastWeekdayOfMonth(9, D(2026, 12, 8)), D(2026, 12, 8));
    }

    void monthAndYearSteps()
    {
        QCOMPARE(IncMonth(D(2023, 1, 31), 1), D(2023, 2, 28));
        QCOMPARE(IncMonth(D(2024, 3, 31), -1), D(2024, 2, 29));
        QCOMPARE(IncYear(D(2024, 2, 29), 1), D(2025, 2, 28));
        QCOMPARE(IncMonth(D(2024, 1, 15), -13), D(2022, 12, 15));
        QCOMPARE(IncMonth(D(2024, 5, 15), -5), D(2023, 12, 15));
        QCOMPARE(IncDate(D(2024, 1, 31), 3, 1, 1), D(2025, 3, 3));
        // Every day, every step from -25 to +25 months: the month moves
        // exactly, the day is kept or shortened to the month's last day.
        for (Date day = D(1900, 3, 1); day <= D(2100, 12, 31); day = IncDay(day, 1)) {
            const Ymd s = YmdOf(day);
            for (int n = -25; n <= 25; n += (n == -1 || n == 1) ? 1 : 4) {
                const Ymd t = YmdOf(IncMonth(day, n));
                const int idx = s.year * 12 + s.month - 1 + n;
                QCOMPARE(t.year, idx / 12);
                QCOMPARE(t.month, idx % 12 + 1);
                QCOMPARE(t.day, std::min(s.day, DaysInMonth(t.year, t.month)));
            }
            const Ymd y1 = YmdOf(IncYear(day, 1));
            QCOMPARE(y1.year, s.year + 1);
            QCOMPARE(y1.month, s.month);
            QCOMPARE(y1.day, std::min(s.day, DaysInMonth(s.year + 1, s.month)));
        }
    }

    void occurrenceExamples()
    {
        const Date T = D(2026, 12, 8);
        QCOMPARE(NextEveryXDays(3, T, IncDay(T, -6)), T);
        QCOMPARE(NextEveryXDays(3, T, IncDay(T, -7)), IncDay(T, 2));
        QCOMPARE(PrevEveryXDays(3, T, IncDay(T, -6)), IncDay(T, -3));
        QCOMPARE(PrevEveryXDays(3, T, IncDay(T, -7)), IncDay(T, -1));
        QCOMPARE(NextWeekly(T, IncDay(T, -14)), T);
        QCOMPARE(PrevWeekly(T, IncDay(T, -14)), T);
        QCOMPARE(NextWeekly(T, IncDay(T, -15)), IncDay(T, 6));
        QCOMPARE(NextMonthly(D(2026, 6, 20), D(2026, 1, 10)), D(2026, 7, 10));
        QCOMPARE(PrevMonthly(D(2026, 6, 10), D(2026, 1, 10)), D(2026, 5, 10));
        QCOMPARE(NextYearly(D(2026, 6, 5), D(2020, 6, 10)), D(2026, 6, 10));
        QCOMPARE(PrevYearly(D(2026, 6, 5), D(2020, 6, 10)), D(2025, 6, 10));
        // A start on or after today is both answers.
        for (Date s : {T, IncDay(T, 1), IncDay(T, 400)}) {
            QCOMPARE(NextEveryXDays(5, T, s), s);
            QCOMPARE(PrevEveryXDays(5, T, s), s);
            QCOMPARE(NextWeekly(T, s), s);
            QCOMPARE(PrevWeekly(T, s), s);
            QCOMPARE(NextMonthly(T, s), s);
            QCOMPARE(PrevMonthly(T, s), s);
            QCOMPARE(NextYearly(T, s), s);
            QCOMPARE(PrevYearly(T, s), s);
        }
        // Start days that a month lacks fall on its last day, each month from the start's own day.
        const Date jan31 = D(2026, 1, 31);
        QCOMPARE(NextMonthly(D(2026, 2, 10), jan31), D(2026, 2, 28));
        QCOMPARE(NextMonthly(D(2026, 3, 1), jan31), D(2026, 3, 31));
        QCOMPARE(NextMonthly(D(2026, 4, 1), jan31), D(2026, 4, 30));
        QCOMPARE(PrevMonthly(D(2026, 4, 30), jan31), D(2026, 3, 31));
        QCOMPARE(NextMonthly(D(2028, 2, 1), jan31), D(2028, 2, 29));
        const Date feb29 = D(2024, 2, 29);
        QCOMPARE(NextYearly(D(2025, 1, 1), feb29), D(2025, 2, 28));
        QCOMPARE(PrevYearly(D(2028, 2, 29), feb29), D(2027, 2, 28));
        QCOMPARE(NextYearly(D(2027, 3, 1), feb29), D(2028, 2, 29));
        // Huge intervals from a damaged file do not overflow.
        QVERIFY(NextEveryXDays(2147483647, T, D(2000, 1, 1)) >= T);
    }

    // Randomised series with a fixed seed: prev <= today <= next, both are
    // occurrences, and no occurrence lies strictly between them.
    void occurrencePairsBracketToday()
    {
        std::mt19937 rng(20261208);
        std::uniform_int_distribution<int> day(D(1901, 1, 1).serial, D(2099, 12, 31).serial);
        std::uniform_int_distribution<int> span(1, 3000);
        std::uniform_int_distribution<int> interval(2, 365);
        for (int i = 0; i < 20000; ++i) {
            const Date S(day(rng));
            const Date T = IncDay(S, span(rng));
            const int x = interval(rng);
            const Ymd s = YmdOf(S);
            auto monthly = [&](Date d) {
                const Ymd v = YmdOf(d);
                return v.day == std::min(s.day, DaysInMonth(v.year, v.month));
            };
            auto yearly = [&](Date d) { return MonthOf(d) == s.month && monthly(d); };
            auto everyX = [&](Date d) { return (d - S) % x == 0; };
            auto weekly = [&](Date d) { return (d - S) % 7 == 0; };
            struct Kind {
                const char* name;
                Date next, prev;
                std::function<bool(Date)> falls;
                bool prevMayBeToday;
            } kinds[] = {
                {"monthly", NextMonthly(T, S), PrevMonthly(T, S), monthly, false},
                {"yearly", NextYearly(T, S), PrevYearly(T, S), yearly, false},
                {"everyX", NextEveryXDays(x, T, S), PrevEveryXDays(x, T, S), everyX, false},
                {"weekly", NextWeekly(T, S), PrevWeekly(T, S), weekly, true},
            };
            for (const Kind& k : kinds) {
                const QByteArray what = QByteArray(k.name) + " S=" + QByteArray::number(S.serial) +
                                        " T=" + QByteArray::number(T.serial) + " x=" + QByteArray::number(x);
                QVERIFY2(k.next >= T, what);
                QVERIFY2(k.prevMayBeToday ? k.prev <= T : k.prev < T, what);
                QVERIFY2(k.prev >= S, what);
                QVERIFY2(k.falls(k.next) && k.falls(k.prev), what);
                for (Date d = IncDay(k.prev, 1); d < k.next; d = IncDay(d, 1))
                    if (!(k.prevMayBeToday && d == T && k.falls(d)))
                        QVERIFY2(!k.falls(d) || (d == T && k.next == T), what);
            }
        }
    }

    void manualClock()
    {
        ManualClock clock(MakeDateTime(D(2026, 12, 8), 23, 58));
        clock.AdvanceMinutes(5);
        QCOMPARE(clock.Today(), D(2026, 12, 9));
        QCOMPARE(clock.Now().minuteOfDay(), 3);
        clock.AdvanceMinutes(-10);
        QCOMPARE(clock.Today(), D(2026, 12, 8));
        QCOMPARE(clock.Now().hour(), 23);
        QCOMPARE(clock.Now().minute(), 53);
        const DateTime now = SystemClock().Now();
        QVERIFY(now.msecs >= 0 && now.msecs < 86400000);
        QVERIFY(now.date > D(2020, 1, 1));
    }
};

QTEST_GUILESS_MAIN(TestDateTools)
#include "test_datetools.moc"
