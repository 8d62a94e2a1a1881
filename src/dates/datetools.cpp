#include "dates/datetools.h"

#include <cstdint>

namespace remindo {
namespace {

constexpr int kMonthLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool ValidWeekdayNumber(int w) { return w >= 1 && w <= 7; }

// Day of `y`-`m` with the start's day, shortened to the month's last day.
Date ClampedDay(int y, int m, int day)
{
    const int len = DaysInMonth(y, m);
    return DateFromYmd(y, m, day > len ? len : day);
}

// Month (y, m) moved by `delta` months.
void ShiftMonth(int& y, int& m, int delta)
{
    int idx = y * 12 + (m - 1) + delta;
    y = idx >= 0 ? idx / 12 : -((-idx + 11) / 12);
    m = idx - y * 12 + 1;
}

// The nth day with weekday number w in the month, or an invalid date when the month has fewer.
bool NthWeekdayInMonth(int y, int m, int w, int n, Date& out)
{
    const int first = WeekdayOf(y, m, 1);
    const int day = 1 + ((w - 1) - first + 7) % 7 + 7 * (n - 1);
    if (day > DaysInMonth(y, m))
        return false;
    out = DateFromYmd(y, m, day);
    return true;
}

Date LastWeekdayInMonth(int y, int m, int w)
{
    const int len = DaysInMonth(y, m);
    const int lastWd = WeekdayOf(y, m, len);
    return DateFromYmd(y, m, len - (lastWd - (w - 1) + 7) % 7);
}

int64_t FloorMod(int64_t a, int64_t b)
{
    const int64_t r = a % b;
    return r < 0 ? r + b : r;
}

} // namespace

int WeekdayOf(int year, int month, int day)
{
    return WeekdayOfDate(DateFromYmd(year, month, day));
}

int WeekdayOfDate(Date date)
{
    // Day 0 (30 December 1899) was a Saturday.
    return int(FloorMod(int64_t(date.serial) + 6, 7));
}

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month)
{
    if (month < 1 || month > 12)
        return 31;
    return kMonthLength[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

int DaysInMonthOf(Date date)
{
    const Ymd d = YmdOf(date);
    return DaysInMonth(d.year, d.month);
}

int FirstWeekdayOfMonth(int year, int month) { return WeekdayOf(year, month, 1); }

Date FirstDayOfMonth(Date date)
{
    const Ymd d = YmdOf(date);
    return DateFromYmd(d.year, d.month, 1);
}

Date LastDayOfMonth(Date date)
{
    const Ymd d = YmdOf(date);
    return DateFromYmd(d.year, d.month, DaysInMonth(d.year, d.month));
}

Date IncDate(Date date, int days, int months, int years)
{
    const Ymd d = YmdOf(date);
    // Years and months are stepped together as one month count; this is the
    // same as adding years + months div 12 and months mod 12 with a carry.
    int64_t idx = int64_t(d.year) * 12 + (d.month - 1) + months + int64_t(years) * 12;
    constexpr int64_t kLo = 1 * 12, kHi = 9999 * 12 + 11;
    if (idx < kLo)
        return AddDays(Date(kMinSerial), days);
    if (idx > kHi)
        return AddDays(Date(kMaxSerial), days);
    const int y = int(idx / 12);
    const int m = int(idx % 12) + 1;
    return AddDays(ClampedDay(y, m, d.day), days);
}

Date IncDay(Date date, int n) { return AddDays(date, n); }
Date IncMonth(Date date, int n) { return IncDate(date, 0, n, 0); }
Date IncYear(Date date, int n) { return IncDate(date, 0, 0, n); }

int DayOf(Date date) { return YmdOf(date).day; }
int MonthOf(Date date) { return YmdOf(date).month; }
int YearOf(Date date) { return YmdOf(date).year; }

Date NextWeekday(int w, Date date)
{
    if (!ValidWeekdayNumber(w))
        return date;
    return AddDays(date, FloorMod((w - 1) - WeekdayOfDate(date), 7));
}

Date PrevWeekday(int w, Date date)
{
    if (!ValidWeekdayNumber(w))
        return date;
    return AddDays(date, -FloorMod(WeekdayOfDate(date) - (w - 1), 7));
}

Date NextNthWeekdayOfMonth(int w, int n, Date date)
{
    if (!ValidWeekdayNumber(w) || n < 1 || n > 4)
        return date;
    Ymd c = YmdOf(date);
    for (int guard = 0; guard < 3; ++guard) {
        Date found;
        if (NthWeekdayInMonth(c.year, c.month, w, n, found) && found >= date)
            return found;
        ShiftMonth(c.year, c.month, 1);
    }
    return date; // unreachable for n 1..4
}

Date PrevNthWeekdayOfMonth(int w, int n, Date date)
{
    if (!ValidWeekdayNumber(w) || n < 1 || n > 4)
        return date;
    Ymd c = YmdOf(date);
    for (int guard = 0; guard < 3; ++guard) {
        Date found;
        if (NthWeekdayInMonth(c.year, c.month, w, n, found) && found <= date)
            return found;
        ShiftMonth(c.year, c.month, -1);
    }
    return date;
}

Date NextLastWeekdayOfMonth(int w, Date date)
{
    if (!ValidWeekdayNumber(w))
        return date;
    Ymd c = YmdOf(date);
    const Date last = LastWeekdayInMonth(c.year, c.month, w);
    if (last >= date)
        return last;
    ShiftMonth(c.year, c.month, 1);
    return LastWeekdayInMonth(c.year, c.month, w);
}

Date PrevLastWeekdayOfMonth(int w, Date date)
{
    if (!ValidWeekdayNumber(w))
        return date;
    Ymd c = YmdOf(date);
    const Date last = LastWeekdayInMonth(c.year, c.month, w);
    if (last <= date)
        return last;
    ShiftMonth(c.year, c.month, -1);
    return LastWeekdayInMonth(c.year, c.month, w);
}

std::string_view DayName(int weekdayIndex)
{
    // Windows-1250: \xB3 = ł, \x9C = ś, \xB9 = ą.
    static constexpr std::string_view kNames[7] = {
        "niedziela", "poniedzia\xB3" "ek", "wtorek", "\x9C" "roda", "czwartek", "pi\xB9" "tek", "sobota"};
    if (weekdayIndex < 0 || weekdayIndex > 6)
        return {};
    return kNames[weekdayIndex];
}

Date MondayOfWeek(Date date)
{
    int k = WeekdayOfDate(date);
    if (k == 0)
        k = 7;
    return AddDays(date, 1 - k);
}

Date NextEveryXDays(int x, Date today, Date start)
{
    if (start >= today || x < 1)
        return start >= today ? start : today;
    const int64_t r = (int64_t(today.serial) - start.serial) % x;
    return r == 0 ? today : AddDays(today, x - r);
}

Date PrevEveryXDays(int x, Date today, Date start)
{
    if (start >= today || x < 1)
        return start >= today ? start : today;
    const int64_t r = (int64_t(today.serial) - start.serial) % x;
    return r == 0 ? AddDays(today, -int64_t(x)) : AddDays(today, -r);
}

Date NextWeekly(Date today, Date start) { return NextEveryXDays(7, today, start); }

Date PrevWeekly(Date today, Date start)
{
    if (start >= today)
        return start;
    return AddDays(today, -((int64_t(today.serial) - start.serial) % 7));
}

Date NextMonthly(Date today, Date start)
{
    if (start >= today)
        return start;
    const Ymd t = YmdOf(today);
    const int day = YmdOf(start).day;
    const Date c = ClampedDay(t.year, t.month, day);
    if (c >= today)
        return c;
    int y = t.year, m = t.month;
    ShiftMonth(y, m, 1);
    return ClampedDay(y, m, day);
}

Date PrevMonthly(Date today, Date start)
{
    if (start >= today)
        return start;
    const Ymd t = YmdOf(today);
    const int day = YmdOf(start).day;
    const Date c = ClampedDay(t.year, t.month, day);
    if (c < today)
        return c;
    int y = t.year, m = t.month;
    ShiftMonth(y, m, -1);
    return ClampedDay(y, m, day);
}

Date NextYearly(Date today, Date start)
{
    if (start >= today)
        return start;
    const Ymd t = YmdOf(today);
    const Ymd s = YmdOf(start);
    const Date c = ClampedDay(t.year, s.month, s.day);
    return c >= today ? c : ClampedDay(t.year + 1, s.month, s.day);
}

Date PrevYearly(Date today, Date start)
{
    if (start >= today)
        return start;
    const Ymd t = YmdOf(today);
    const Ymd s = YmdOf(start);
    const Date c = ClampedDay(t.year, s.month, s.day);
    return c < today ? c : ClampedDay(t.year - 1, s.month, s.day);
}

} // namespace remindo
