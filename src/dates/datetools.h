#pragma once
// Calendar arithmetic on whole days. Weekday index: 0 = Sunday .. 6 = Saturday.
// Weekday number (searches, recurrence codes): 1 = Sunday .. 7 = Saturday.
// Day names are Windows-1250 text, like every text the program stores.

#include "dates/date.h"

#include <string_view>

namespace remindo {

int WeekdayOf(int year, int month, int day);
int WeekdayOfDate(Date date);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
int DaysInMonthOf(Date date);
int FirstWeekdayOfMonth(int year, int month);
Date FirstDayOfMonth(Date date);
Date LastDayOfMonth(Date date);

// Steps years and months first (the day clamped to the target month's
// length), then adds the days.
Date IncDate(Date date, int days, int months, int years);
Date IncDay(Date date, int n);
Date IncMonth(Date date, int n);
Date IncYear(Date date, int n);

int DayOf(Date date);
int MonthOf(Date date);
int YearOf(Date date);

// Searches. A weekday number outside 1..7, or n outside 1..4, names no
// day; the searches then answer the date itself instead of looping.
Date NextWeekday(int w, Date date);
Date PrevWeekday(int w, Date date);
Date NextNthWeekdayOfMonth(int w, int n, Date date);
Date PrevNthWeekdayOfMonth(int w, int n, Date date);
Date NextLastWeekdayOfMonth(int w, Date date);
Date PrevLastWeekdayOfMonth(int w, Date date);

// Polish name for a weekday index; empty for any other index.
std::string_view DayName(int weekdayIndex);

Date MondayOfWeek(Date date);

// Occurrence pairs for a series that starts on `start`, seen from `today`.
// A start on or after today is both the next and the previous occurrence.
// The next occurrence may be today; the previous is before today except for
// the weekly kind. A monthly or yearly start day that the candidate month
// lacks falls on that month's last day; each candidate is built from the
// start's own day, never from a shortened neighbour.
Date NextEveryXDays(int x, Date today, Date start);
Date PrevEveryXDays(int x, Date today, Date start);
Date NextWeekly(Date today, Date start);
Date PrevWeekly(Date today, Date start);
Date NextMonthly(Date today, Date start);
Date PrevMonthly(Date today, Date start);
Date NextYearly(Date today, Date start);
Date PrevYearly(Date today, Date start);

} // namespace remindo
