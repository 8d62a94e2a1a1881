#pragma once
// What a reminder's recurrence code and date mean for a given day: its kind,
// the next and previous occurrence, and how that day is classified for it.
// Pure computations; nothing here changes a reminder.

#include "dates/date.h"
#include "store/reminders.h"

#include <cstdint>

namespace remindo {

class DiagnosticLog;
class RegionalFormats;

// Warning values handed to the reminder window; d >= 0 is an occurrence d days ahead.
inline constexpr int32_t NoWarning = -5;
inline constexpr int32_t AfterWarning = -1;

// The recurrence code (CoIle): 0 one-off, -1 daily, -2 weekly, -3 monthly,
// -4 yearly, x >= 2 every x days, -(10k + w) days of the month; 1 and -5..-10
// name no kind. Only Recurrence takes a code apart or puts one together.
enum class RecurrenceKind {
    None,        // 1 and -5..-10, or a days-of-month code that names no weekday
    OneOff,      // 0
    Daily,       // -1
    Weekly,      // -2
    Monthly,     // -3
    Yearly,      // -4
    EveryXDays,  // x >= 2
    DaysOfMonth, // -(10k + w)
};

// The counts of a days-of-month rule beyond the first to fourth.
inline constexpr int kEveryWeekdayOfMonth = 5;
inline constexpr int kLastWeekdayOfMonth = 6;

struct Recurrence {
    RecurrenceKind kind = RecurrenceKind::None;
    // Days of the month: k 1..4 the nth, 5 every, 6 the last weekday w
    // (1 = Sunday .. 7 = Saturday) of the month; a larger k names no rule and
    // occurs every day. Also taken apart for a code of no kind from -11 down
    // (-58: k 5, w 8), whose digits the editor's limits still read.
    int64_t k = 0;
    int w = 0;
    // A positive code: the x of EveryXDays (1 names no kind).
    int32_t every = 0;

    static Recurrence Every(int32_t x) { return {RecurrenceKind::EveryXDays, 0, 0, x}; }
    static Recurrence WeekdayOfMonth(int k, int w) { return {RecurrenceKind::DaysOfMonth, k, w, 0}; }
    // The code back; 1 for no kind (a code of no kind is not kept here).
    int32_t Code() const;
    // A rule of the editor's kind list and of iCalendar: the first to
    // fourth, every or last weekday of the month.
    bool IsWeekdayRule() const { return kind == RecurrenceKind::DaysOfMonth && k <= kLastWeekdayOfMonth; }
};

// A weekday digit of 0, 8 or 9 with k from 1 to 6 is never written by the
// editor; such a code (from a damaged file) is treated as having no kind.
Recurrence DecodeRecurrence(int32_t coIle);

// The first occurrence: the reminder's date, or for the weekday rules of the
// month the first day on or after it that the rule names. Nothing occurs
// before it, whatever the kind.
Date FirstOccurrence(const Komunikat& r);

struct Occurrences {
    Date previous;
    Date next;
};
// Both occurrences at once (the passes need both). The next one may be
// today. Up to the first occurrence both are the first occurrence; for a
// code without a kind both are today.
Occurrences OccurrencesOf(const Komunikat& r, Date today);

Date NextOccurrence(const Komunikat& r, Date today);
Date PreviousOccurrence(const Komunikat& r, Date today);
// next - today and today - previous, in whole days.
int32_t DaysUntil(const Komunikat& r, Date today);
int32_t DaysSince(const Komunikat& r, Date today);
// The first warning day of the first occurrence has come.
bool WindowOpened(const Komunikat& r, Date today);

// Whether a reminder occurs on `day`: the day is its own next occurrence.
// The one rule behind the passes, the calendar, the list window's dates and
// remindo-data; a month's last day stands in for a day the month lacks.
bool OccursOn(const Komunikat& r, Date day);
// The occurrences among the `days` days from `from` (1 to 32): bit i is set
// when from + i is one.
uint32_t OccurrenceDays(const Recurrence& rec, Date data, Date from, int days);

struct DayClass {
    enum Kind { None, Before, After };
    Kind kind = None;
    int32_t days = 0;
    friend bool operator==(const DayClass&, const DayClass&) = default;
};

DayClass ClassifyDay(const Komunikat& r, Date today);

// For the periodic kinds other than daily: the smaller of DaysUntil and DaysSince.
int32_t PreparationDistance(const Komunikat& r, Date today);

// The six trace lines of one reminder; `index` is its list index.
void TraceOccurrence(DiagnosticLog& log, const RegionalFormats& formats, const Komunikat& r, int index,
                     int32_t before, int32_t after, Date previous, Date next);

} // namespace remindo
