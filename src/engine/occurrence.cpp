#include "engine/occurrence.h"

#include "dates/datetools.h"
#include "store/codec.h"
#include "store/formats.h"
#include "store/log.h"

#include <cstdlib>
#include <string>

namespace remindo {

Recurrence DecodeRecurrence(int32_t coIle)
{
    Recurrence rec;
    switch (coIle) {
    case 0: rec.kind = RecurrenceKind::OneOff; return rec;
    case -1: rec.kind = RecurrenceKind::Daily; return rec;
    case -2: rec.kind = RecurrenceKind::Weekly; return rec;
    case -3: rec.kind = RecurrenceKind::Monthly; return rec;
    case -4: rec.kind = RecurrenceKind::Yearly; return rec;
    default: break;
    }
    if (coIle >= 1) {
        rec.every = coIle;
        if (coIle >= 2)
            rec.kind = RecurrenceKind::EveryXDays;
        return rec;
    }
    if (coIle > -11) // 1 and -5..-10
        return rec;
    const int64_t magnitude = -int64_t(coIle); // no overflow for INT32_MIN
    rec.k = magnitude / 10;
    rec.w = int(magnitude % 10);
    if (rec.k <= kLastWeekdayOfMonth && (rec.w < 1 || rec.w > 7))
        return rec; // names no weekday: kind stays None
    rec.kind = RecurrenceKind::DaysOfMonth;
    return rec;
}

int32_t Recurrence::Code() const
{
    switch (kind) {
    case RecurrenceKind::OneOff: return 0;
    case RecurrenceKind::Daily: return -1;
    case RecurrenceKind::Weekly: return -2;
    case RecurrenceKind::Monthly: return -3;
    case RecurrenceKind::Yearly: return -4;
    case RecurrenceKind::EveryXDays: return every;
    case RecurrenceKind::DaysOfMonth: return int32_t(-(10 * k + w));
    case RecurrenceKind::None: break;
    }
    return 1;
}

namespace {

// A reminder's series: its decoded code and its date.
struct Series {
    Recurrence rec;
    Date data;
};

// A weekday rule's first day lies in the date's month or the next: within
// this many days of the date.
constexpr int64_t kFirstWithin = 62;

// A days-of-month rule's next day from `day` on, or its previous one; a
// count the editor never writes names every day.
Date WeekdayRuleDay(const Recurrence& rec, Date day, bool next)
{
    if (rec.k >= 1 && rec.k <= 4)
        return (next ? NextNthWeekdayOfMonth : PrevNthWeekdayOfMonth)(rec.w, int(rec.k), day);
    if (rec.k == kEveryWeekdayOfMonth)
        return (next ? NextWeekday : PrevWeekday)(rec.w, day);
    if (rec.k == kLastWeekdayOfMonth)
        return (next ? NextLastWeekdayOfMonth : PrevLastWeekdayOfMonth)(rec.w, day);
    return day;
}

Date FirstOf(const Recurrence& rec, Date data)
{
    return rec.kind == RecurrenceKind::DaysOfMonth ? WeekdayRuleDay(rec, data, true) : data;
}

Series SeriesOf(int32_t coIle, Date data) { return {DecodeRecurrence(coIle), data}; }

// Whether the first occurrence lies before `today`. Only a day close after
// a weekday rule's date needs the search (the passes ask for every reminder).
bool Begun(const Series& s, Date today)
{
    if (today <= s.data)
        return false;
    if (s.rec.kind != RecurrenceKind::DaysOfMonth || int64_t(today.serial) - s.data.serial > kFirstWithin)
        return true;
    return today > FirstOf(s.rec, s.data);
}

// The next occurrence on or after `today`, for a today after the first
// occurrence (every series has begun by then).
Date NextOnceBegun(const Series& s, Date today)
{
    const Recurrence& rec = s.rec;
    switch (rec.kind) {
    case RecurrenceKind::OneOff: return s.data;
    case RecurrenceKind::Daily: return today;
    case RecurrenceKind::Weekly: return NextWeekly(today, s.data);
    case RecurrenceKind::Monthly: return NextMonthly(today, s.data);
    case RecurrenceKind::Yearly: return NextYearly(today, s.data);
    case RecurrenceKind::EveryXDays: return NextEveryXDays(rec.every, today, s.data);
    case RecurrenceKind::DaysOfMonth: return WeekdayRuleDay(rec, today, true);
    case RecurrenceKind::None: break;
    }
    return today;
}

// The previous occurrence, likewise: it lies on or after the first one.
Date PreviousOnceBegun(const Series& s, Date today)
{
    const Recurrence& rec = s.rec;
    switch (rec.kind) {
    case RecurrenceKind::OneOff: return s.data;
    case RecurrenceKind::Daily: return IncDay(today, -1);
    case RecurrenceKind::Weekly: return PrevWeekly(today, s.data);
    case RecurrenceKind::Monthly: return PrevMonthly(today, s.data);
    case RecurrenceKind::Yearly: return PrevYearly(today, s.data);
    case RecurrenceKind::EveryXDays: return PrevEveryXDays(rec.every, today, s.data);
    case RecurrenceKind::DaysOfMonth: return WeekdayRuleDay(rec, today, false);
    case RecurrenceKind::None: break;
    }
    return today;
}

Date NextOf(const Series& s, Date today)
{
    if (s.rec.kind == RecurrenceKind::None)
        return today;
    return Begun(s, today) ? NextOnceBegun(s, today) : FirstOf(s.rec, s.data);
}

Occurrences OccurrencesOf(const Series& s, Date today)
{
    if (s.rec.kind == RecurrenceKind::None)
        return {today, today};
    if (!Begun(s, today)) {
        const Date first = FirstOf(s.rec, s.data);
        return {first, first};
    }
    return {PreviousOnceBegun(s, today), NextOnceBegun(s, today)};
}

bool WindowOpened(const Series& s, int32_t ilePrzed, Date today)
{
    const int64_t opens = int64_t(s.data.serial) - ilePrzed; // the first occurrence is on or after the date
    if (opens > today.serial)
        return false;
    if (s.rec.kind != RecurrenceKind::DaysOfMonth || opens + kFirstWithin <= today.serial)
        return true;
    return int64_t(FirstOf(s.rec, s.data).serial) - ilePrzed <= today.serial;
}

} // namespace

Date FirstOccurrence(const Komunikat& r) { return FirstOf(DecodeRecurrence(r.CoIle), r.Data); }

Occurrences OccurrencesOf(const Komunikat& r, Date today) { return OccurrencesOf(SeriesOf(r.CoIle, r.Data), today); }

Date NextOccurrence(const Komunikat& r, Date today) { return NextOf(SeriesOf(r.CoIle, r.Data), today); }
Date PreviousOccurrence(const Komunikat& r, Date today) { return OccurrencesOf(r, today).previous; }

int32_t DaysUntil(const Komunikat& r, Date today) { return NextOccurrence(r, today) - today; }
int32_t DaysSince(const Komunikat& r, Date today) { return today - PreviousOccurrence(r, today); }

bool WindowOpened(const Komunikat& r, Date today)
{
    return WindowOpened(SeriesOf(r.CoIle, r.Data), r.IlePrzed, today);
}

bool OccursOn(const Komunikat& r, Date day)
{
    const Series s = SeriesOf(r.CoIle, r.Data);
    return s.rec.kind != RecurrenceKind::None && NextOf(s, day) == day;
}

uint32_t OccurrenceDays(const Recurrence& rec, Date data, Date from, int days)
{
    const Series s{rec, data};
    if (s.rec.kind == RecurrenceKind::None || days < 1)
        return 0;
    days = days > 32 ? 32 : days;
    uint32_t found = 0;
    // Each step lands on an occurrence and moves past it, so the walk takes
    // one step per occurrence in the span, and one more.
    for (int i = 0; i < days;) {
        const int64_t at = int64_t(NextOf(s, AddDays(from, i)).serial) - from.serial;
        if (at < i || at >= days)
            break;
        found |= uint32_t(1) << at;
        i = int(at) + 1;
    }
    return found;
}

namespace {

DayClass ClassifyPeriodic(const Series& s, int32_t ilePrzed, Date today)
{
    if (!WindowOpened(s, ilePrzed, today))
        return {};
    const Occurrences o = OccurrencesOf(s, today);
    const int32_t u = o.next - today;
    const int32_t p = today - o.previous;
    if (u <= ilePrzed)
        return {DayClass::Before, u};
    if (p <= ilePrzed)
        return {DayClass::After, p};
    return {};
}

} // namespace

DayClass ClassifyDay(const Komunikat& r, Date today)
{
    const Series s = SeriesOf(r.CoIle, r.Data);
    switch (s.rec.kind) {
    case RecurrenceKind::OneOff: {
        if (!WindowOpened(s, r.IlePrzed, today))
            return {};
        const int32_t d = r.Data - today;
        if (std::llabs(int64_t(d)) > r.IlePrzed)
            return {};
        return d < 0 ? DayClass{DayClass::After, d} : DayClass{DayClass::Before, d};
    }
    case RecurrenceKind::Daily:
        // Every day from its date on is an occurrence, whatever the window;
        // before it, the window opens as for the other kinds.
        if (today >= r.Data)
            return {DayClass::Before, 0};
        if (!WindowOpened(s, r.IlePrzed, today))
            return {};
        return {DayClass::Before, r.Data - today};
    case RecurrenceKind::None: return {};
    default: return ClassifyPeriodic(s, r.IlePrzed, today);
    }
}

int32_t PreparationDistance(const Komunikat& r, Date today)
{
    const Occurrences o = OccurrencesOf(r, today);
    const int32_t u = o.next - today;
    const int32_t p = today - o.previous;
    return p < u ? p : u;
}

void TraceOccurrence(DiagnosticLog& log, const RegionalFormats& formats, const Komunikat& r, int index,
                     int32_t before, int32_t after, Date previous, Date next)
{
    if (!log.Recording())
        return;
    static const std::string kBlokadaDzis = Cp("Blokada dziś: ");
    static const std::string kDataBlokadyDzis = Cp("  Data blokady dziś: ");
    static const std::string kPoTez = Cp("  Po też: ");
    const std::string n = std::to_string(index + 1);
    log.WriteLog("Zdarzenie nr " + n + " - " + r.Tresc);
    log.WriteLog("Data first: " + formats.ShortDate(r.Data) + "  Data pop: " + formats.ShortDate(previous) +
                 "  Data nast: " + formats.ShortDate(next));
    log.WriteLog("Ilosc dni do zdarzenia nr " + n + " -  Przed: " + std::to_string(before) +
                 " Po: " + std::to_string(after));
    log.WriteLog("Blokada: " + std::to_string(r.Blok) + "  Ile przed: " + std::to_string(r.IlePrzed));
    log.WriteLog(kBlokadaDzis + std::to_string(r.BlokDzis) + kDataBlokadyDzis + formats.ShortDate(r.BlokDzisData));
    log.WriteLog("Co ile: " + std::to_string(r.CoIle) + kPoTez + std::to_string(r.CzyPo));
}

} // namespace remindo
