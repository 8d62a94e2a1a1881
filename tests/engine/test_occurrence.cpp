#include "engine/occurrence.h"

#include "dates/datetools.h"
#include "engine/oracle.h"
#include "store/fixedformats.h"
#include "store/log.h"

#include <QTest>

#include <algorithm>
#include <climits>
#include <random>

using namespace remindo;

namespace {

Date D(int y, int m, int d) { return DateFromYmd(y, m, d); }

Komunikat R(int32_t coIle, Date data, int32_t ilePrzed = 3, int32_t czyPo = 1)
{
    Komunikat k;
    k.Tresc = "x+";
    k.CoIle = coIle;
    k.Data = data;
    k.IlePrzed = ilePrzed;
    k.CzyPo = czyPo;
    k.Ile = 1;
    return k;
}

DayClass Before(int d) { return {DayClass::Before, d}; }
DayClass After(int d) { return {DayClass::After, d}; }
DayClass None() { return {}; }

} // namespace

namespace QTest {
template <> char* toString(const DayClass& c)
{
    const char* k = c.kind == DayClass::Before ? "before" : c.kind == DayClass::After ? "after" : "none";
    return qstrdup(QByteArray(k).append(' ').append(QByteArray::number(c.days)).constData());
}
template <> char* toString(const Date& d)
{
    const Ymd y = YmdOf(d);
    return qstrdup(QString::asprintf("%04d-%02d-%02d", y.year, y.month, y.day).toLatin1().constData());
}
} // namespace QTest

class TestOccurrence : public QObject {
    Q_OBJECT
private slots:
    void weeklyAroundItsDay()
    {
        // Started on a Monday two weeks before 7 December 2026 (a Monday).
        const Komunikat r = R(-2, D(2026, 11, 23));
        QCOMPARE(NextOccurrence(r, D(2026, 12, 7)), D(2026, 12, 7));
        QCOMPARE(PreviousOccurrence(r, D(2026, 12, 7)), D(2026, 12, 7));
        QCOMPARE(ClassifyDay(r, D(2026, 12, 7)), Before(0));
        QCOMPARE(DaysUntil(r, D(2026, 12, 8)), 6);
        QCOMPARE(DaysSince(r, D(2026, 12, 8)), 1);
        QCOMPARE(ClassifyDay(r, D(2026, 12, 8)), After(1));
        QCOMPARE(ClassifyDay(r, D(2026, 12, 10)), After(3));
        QCOMPARE(ClassifyDay(r, D(2026, 12, 11)), Before(3));
        QCOMPARE(PreparationDistance(r, D(2026, 12, 10)), 3);
        QCOMPARE(PreparationDistance(r, D(2026, 12, 8)), 1);
    }

    void windowOpensThreeDaysAhead()
    {
        const Date t = D(2026, 6, 10);
        for (int32_t code : {0, -1, -2, -3, -4, 5, -52, -71}) {
            const Komunikat far = R(code, IncDay(t, 10));
            QCOMPARE(WindowOpened(far, t), false);
            QCOMPARE(ClassifyDay(far, t), None());
        }
        for (int32_t code : {0, -1, -2, -3, -4, 5}) {
            const Komunikat near = R(code, IncDay(t, 3));
            QVERIFY(WindowOpened(near, t));
            QCOMPARE(ClassifyDay(near, t), Before(3));
        }
    }

    void oneOffAfterItsDate()
    {
        const Date t = D(2026, 6, 10);
        QCOMPARE(ClassifyDay(R(0, IncDay(t, -2), 2), t), After(-2));
        QCOMPARE(ClassifyDay(R(0, IncDay(t, -3), 2), t), None());
        QCOMPARE(ClassifyDay(R(0, t, 0), t), Before(0));
        // A negative window never opens on the date itself.
        QCOMPARE(ClassifyDay(R(0, t, -1), t), None());
    }

    void daysOfMonthCodes()
    {
        const Date sunday = D(2026, 12, 6);
        QCOMPARE(NextOccurrence(R(-52, D(2020, 1, 1)), sunday), D(2026, 12, 7));
        QCOMPARE(DaysUntil(R(-52, D(2020, 1, 1)), sunday), 1);
        // 26 December 2026 is the last Saturday of the month.
        QCOMPARE(ClassifyDay(R(-67, D(2020, 1, 1), 0), D(2026, 12, 26)), Before(0));
        QCOMPARE(ClassifyDay(R(-67, D(2020, 1, 1), 0), D(2026, 12, 19)), None());
        // Nothing before the date: the second Sunday after 14 December is in January.
        QCOMPARE(ClassifyDay(R(-21, D(2026, 12, 20), 3), D(2026, 12, 13)), None());
        QCOMPARE(ClassifyDay(R(-21, D(2026, 12, 14), 3), D(2026, 12, 13)), None());
        QCOMPARE(ClassifyDay(R(-21, D(2026, 12, 14), 3), D(2027, 1, 7)), Before(3));
        // k of 7 or more: every day is an occurrence.
        for (int32_t code : {-71, -80, -99, -1234, INT32_MIN}) {
            const Komunikat r = R(code, D(2026, 1, 1), 0);
            QCOMPARE(NextOccurrence(r, sunday), sunday);
            QCOMPARE(PreviousOccurrence(r, sunday), sunday);
            QCOMPARE(ClassifyDay(r, sunday), Before(0));
        }
    }

    void codesComeBackWhole()
    {
        // Every code of a kind is put together again as it was read; the
        // editor's and iCalendar's weekday rules are exactly -11 to -67 with
        // a weekday digit, and what the dialogs build reads back the same.
        std::vector<int32_t> codes = {INT32_MIN, INT32_MIN + 1, INT32_MAX, -2147483647 + 10};
        for (int32_t c = -1000; c <= 1000; ++c)
            codes.push_back(c);
        for (const int32_t c : codes) {
            const Recurrence rec = DecodeRecurrence(c);
            QCOMPARE(rec.Code(), rec.kind == RecurrenceKind::None ? 1 : c);
            const bool weekdayRule = c <= -11 && c >= -67 && -c % 10 >= 1 && -c % 10 <= 7;
            QVERIFY2(rec.IsWeekdayRule() == weekdayRule, qPrintable(QString::number(c)));
        }
        for (int k = 1; k <= 6; ++k)
            for (int w = 1; w <= 7; ++w) {
                const Recurrence rec = DecodeRecurrence(Recurrence::WeekdayOfMonth(k, w).Code());
                QVERIFY(rec.IsWeekdayRule() && rec.k == k && rec.w == w);
            }
        QCOMPARE(Recurrence::WeekdayOfMonth(kLastWeekdayOfMonth, 6).Code(), -66); // the last Friday
        QCOMPARE(DecodeRecurrence(Recurrence::Every(365).Code()).every, 365);
    }

    void codesWithoutAKindNeverWarn()
    {
        for (int32_t code : {1, -5, -6, -7, -8, -9, -10, -10 - 8, -20, -29, -40, -58, -59, -60, -69}) {
            const Komunikat r = R(code, D(2026, 1, 1), 400);
            QCOMPARE(DecodeRecurrence(code).kind, RecurrenceKind::None);
            for (int i = 0; i < 40; ++i)
                QCOMPARE(ClassifyDay(r, IncDay(D(2026, 3, 1), i)), None());
        }
    }

    void shortMonthsFallOnTheLastDay()
    {
        const Komunikat monthly = R(-3, D(2026, 1, 31), 0);
        QCOMPARE(NextOccurrence(monthly, D(2026, 2, 10)), D(2026, 2, 28));
        QCOMPARE(ClassifyDay(monthly, D(2026, 2, 28)), Before(0));
        QCOMPARE(NextOccurrence(monthly, D(2026, 3, 1)), D(2026, 3, 31));
        QCOMPARE(PreviousOccurrence(monthly, D(2026, 3, 1)), D(2026, 2, 28));
        const Komunikat yearly = R(-4, D(2024, 2, 29), 1);
        QCOMPARE(NextOccurrence(yearly, D(2026, 2, 1)), D(2026, 2, 28));
        QCOMPARE(ClassifyDay(yearly, D(2026, 3, 1)), After(1));
        QCOMPARE(NextOccurrence(yearly, D(2027, 12, 1)), D(2028, 2, 29));
    }

    void absurdValuesStayInRange()
    {
        // Values a damaged file might hold: nothing may overflow or loop.
        const Date t = D(2026, 6, 10);
        for (int32_t code : {INT32_MAX, INT32_MIN, 0, -1, -2, -3, -4, 2, -11, -67})
            for (int32_t ile : {INT32_MIN, -1, 0, INT32_MAX})
                for (Date data : {Date(kMinSerial), Date(kMaxSerial), t}) {
                    Komunikat r = R(code, data, ile);
                    ClassifyDay(r, t);
                    PreparationDistance(r, t);
                    QVERIFY(NextOccurrence(r, t) >= Date(kMinSerial));
                }
    }

    void agreesWithTheCalendarWalk()
    {
        std::mt19937 rng(20261207);
        const int32_t codes[] = {0, -1, -2, -3, -4, 2, 3, 7, 10, 45, 365, -11, -17, -24, -32, -43, -51,
                                 -55, -61, -67, -71, -1, 1, -7, -19};
        const Date base = D(2025, 1, 1);
        for (int n = 0; n < 4000; ++n) {
            Komunikat r = R(codes[rng() % std::size(codes)], IncDay(base, int(rng() % 1200)),
                            int(rng() % 12) - 1);
            if (rng() % 9 == 0)
                r.Data = D(2024, 2, 29);
            else if (rng() % 7 == 0) { // month ends: 28th to 31st
                const int m = int(rng() % 12) + 1;
                r.Data = D(2025, m, std::min(28 + int(rng() % 4), DaysInMonth(2025, m)));
            }
            const Date t = IncDay(base, int(rng() % 1500));
            const oracle::Pair want = oracle::Occurrences(r, t);
            const Occurrences got = OccurrencesOf(r, t);
            QCOMPARE(got.next, want.next);
            QCOMPARE(got.previous, want.previous);
            const oracle::Class c = oracle::Classify(r, t);
            const DayClass expect{c.kind == 1 ? DayClass::Before : c.kind == 2 ? DayClass::After : DayClass::None,
                                  c.kind == 0 ? 0 : c.days};
            QCOMPARE(ClassifyDay(r, t), expect);
            QCOMPARE(OccursOn(r, t), oracle::Occurs(r, t));
        }
    }

    void traceLines()
    {
        Date akt = D(2026, 12, 8);
        DateTime pass = MakeDateTime(akt, 10, 5, 7);
        FixedFormats fmt;
        DiagnosticLog log(akt, pass, fmt);
        log.SetMode(3);
        Komunikat r = R(-2, D(2026, 11, 23), 3, 1);
        r.Tresc = "Urodziny+Ani+";
        r.BlokDzis = 1;
        r.BlokDzisData = D(2026, 12, 7);
        TraceOccurrence(log, fmt, r, 4, 6, 1, D(2026, 12, 7), D(2026, 12, 14));
        const std::vector<std::string> want = {
            "8.12.2026 10:05:07 Zdarzenie nr 5 - Urodziny+Ani+",
            "8.12.2026 10:05:07 Data first: 23.11.2026  Data pop: 7.12.2026  Data nast: 14.12.2026",
            "8.12.2026 10:05:07 Ilosc dni do zdarzenia nr 5 -  Przed: 6 Po: 1",
            "8.12.2026 10:05:07 Blokada: 0  Ile przed: 3",
            "8.12.2026 10:05:07 Blokada dzi\x9C: 1  Data blokady dzi\x9C: 7.12.2026",
            "8.12.2026 10:05:07 Co ile: -2  Po te\xBF: 1",
        };
        QCOMPARE(log.Lines(), want);
        log.SetMode(0);
        TraceOccurrence(log, fmt, r, 4, 6, 1, D(2026, 12, 7), D(2026, 12, 14));
        QCOMPARE(log.Lines().size(), want.size());
    }
};

QTEST_GUILESS_MAIN(TestOccurrence)
#include "test_occurrence.moc"
