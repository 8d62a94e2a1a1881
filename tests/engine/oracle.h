#pragma once
// Occurrences worked out the slow way, straight from the rules: a day is an
// occurrence or it is not, and the next and previous ones are found by
// walking the calendar. Shared by the occurrence and simulation tests.

#include "dates/date.h"
#include "store/reminders.h"

#include <cstdint>
#include <cstdlib>

namespace oracle {

using remindo::Date;
using remindo::Komunikat;

inline int MonthLen(int y, int m)
{
    static const int len[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return len[m - 1] + (m == 2 && leap ? 1 : 0);
}

// Weekday number 1 = Sunday .. 7 = Saturday; 1 January 2023 was a Sunday.
inline int WeekdayNumber(Date d)
{
    const int64_t diff = int64_t(d.serial) - remindo::DateFromYmd(2023, 1, 1).serial;
    return int(((diff % 7) + 7) % 7) + 1;
}

enum class Kind { None, OneOff, Daily, Weekly, Monthly, Yearly, EveryX, Nth, Every, Last, AnyK };

inline Kind KindOf(int32_t code, int& k, int& w)
{
    if (code == 0) return Kind::OneOff;
    if (code == -1) return Kind::Daily;
    if (code == -2) return Kind::Weekly;
    if (code == -3) return Kind::Monthly;
    if (code == -4) return Kind::Yearly;
    if (code >= 2) return Kind::EveryX;
    if (code > -11) return Kind::None;
    const int64_t a = -int64_t(code);
    if (a / 10 >= 7) return Kind::AnyK;
    k = int(a / 10);
    w = int(a % 10);
    if (w < 1 || w > 7) return Kind::None;
    return k <= 4 ? Kind::Nth : k == 5 ? Kind::Every : Kind::Last;
}

// Whether `day` is an occurrence of the series: a day the rule names, on or
// after the reminder's date (nothing occurs before it, whatever the kind).
inline bool Occurs(const Komunikat& r, Date day)
{
    int k = 0, w = 0;
    const Kind kind = KindOf(r.CoIle, k, w);
    const remindo::Ymd y = remindo::YmdOf(day), s = remindo::YmdOf(r.Data);
    const int64_t diff = int64_t(day.serial) - r.Data.serial;
    switch (kind) {
    case Kind::None: return false;
    case Kind::OneOff: return diff == 0;
    case Kind::Daily: return diff >= 0;
    case Kind::Weekly: return diff >= 0 && diff % 7 == 0;
    case Kind::EveryX: return diff >= 0 && diff % r.CoIle == 0;
    case Kind::Monthly: {
        const int len = MonthLen(y.year, y.month);
        return diff >= 0 && y.day == (s.day > len ? len : s.day);
    }
    case Kind::Yearly: {
        const int len = MonthLen(y.year, y.month);
        return diff >= 0 && y.month == s.month && y.day == (s.day > len ? len : s.day);
    }
    case Kind::Nth: return diff >= 0 && WeekdayNumber(day) == w && (y.day - 1) / 7 + 1 == k;
    case Kind::Every: return diff >= 0 && WeekdayNumber(day) == w;
    case Kind::Last: return diff >= 0 && WeekdayNumber(day) == w && y.day + 7 > MonthLen(y.year, y.month);
    case Kind::AnyK: return diff >= 0;
    }
    return false;
}

// The first day on or after the reminder's date that is an occurrence.
inline Date First(const Komunikat& r)
{
    int32_t d = r.Data.serial;
    while (d < r.Data.serial + 62 && !Occurs(r, Date(d)))
        ++d;
    return Date(d);
}

struct Pair {
    Date previous, next;
};

// The next occurrence includes today. The previous one includes today for the
// weekly and weekday kinds and lies strictly before it for the others; a
// series whose first occurrence is today or later answers that for both.
inline Pair Occurrences(const Komunikat& r, Date today)
{
    int k = 0, w = 0;
    const Kind kind = KindOf(r.CoIle, k, w);
    if (kind == Kind::OneOff) return {r.Data, r.Data};
    if (kind == Kind::None) return {today, today};
    const Date first = First(r);
    if (first >= today) return {first, first};
    if (kind == Kind::Daily) return {Date(today.serial - 1), today};
    if (kind == Kind::AnyK) return {today, today};
    Pair p{today, today};
    for (int32_t d = today.serial;; ++d)
        if (Occurs(r, Date(d))) {
            p.next = Date(d);
            break;
        }
    const bool prevIncludesToday = kind != Kind::Monthly && kind != Kind::Yearly && kind != Kind::EveryX;
    for (int32_t d = today.serial - (prevIncludesToday ? 0 : 1);; --d)
        if (Occurs(r, Date(d))) {
            p.previous = Date(d);
            break;
        }
    return p;
}

struct Class {
    int kind = 0; // 0 none, 1 before, 2 after
    int32_t days = 0;
};

inline Class Classify(const Komunikat& r, Date today)
{
    int k = 0, w = 0;
    const Kind kind = KindOf(r.CoIle, k, w);
    if (kind == Kind::None) return {};
    if (kind == Kind::Daily && today >= r.Data) return {1, 0};
    if (int64_t(First(r).serial) - r.IlePrzed > today.serial) return {}; // window not open yet
    if (kind == Kind::OneOff) {
        const int32_t d = r.Data - today;
        if (std::abs(d) > r.IlePrzed) return {};
        return d < 0 ? Class{2, d} : Class{1, d};
    }
    const Pair p = Occurrences(r, today);
    if (p.next - today <= r.IlePrzed) return {1, p.next - today};
    if (today - p.previous <= r.IlePrzed) return {2, today - p.previous};
    return {};
}

// Distance to the nearer occurrence, as the preparation pass tests it.
inline int32_t Distance(const Komunikat& r, Date today)
{
    const Pair p = Occurrences(r, today);
    const int32_t u = p.next - today, q = today - p.previous;
    return q < u ? q : u;
}

} // namespace oracle
