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
    if (coIle >= 2) {
        rec.kind = RecurrenceKind::EveryXDays;
        rec.every = coIle;
        return rec;
    }
    if (coIle > -11) // 1 and -5..-10
        return rec;
    const int64_t magnitude = -int64_t(coIle); // no overflow for INT32_MIN
    rec.k = magnitude / 10;
    rec.w = int(magnitude % 10);
    if (rec.k <= 6 && (rec.w < 1 || rec.w > 7))
        return rec; // names no weekday: kind stays None
    rec.kind = RecurrenceKind::DaysOfMonth;
    return rec;
}

Occurrences OccurrencesOf(const Komunikat& r, Date today)
{
    const Recurrence rec = DecodeRecurrence(r.CoIle);
    switch (rec.kind) {
    case RecurrenceKind::OneOff: return {r.Data, r.Data};
    case RecurrenceKind::Daily: return {IncDay(today, -1), today};
    case RecurrenceKind::Weekly: return {PrevWeekly(today, r.Data), NextWeekly(today, r.Data)};
    case RecurrenceKind::Monthly: return {PrevMonthly(today, r.Data), NextMonthly(today, r.Data)};
    case RecurrenceKind::Yearly: return {PrevYearly(today, r.Data), NextYearly(today, r.Data)};
    case RecurrenceKind::EveryXDays:
        return {PrevEveryXDays(rec.every, today, r.Data), NextEveryXDays(rec.every, today, r.Data)};
    case RecurrenceKind::DaysOfMonth:
        if (rec.k >= 1 && rec.k <= 4) {
            const int n = int(rec.k);
            return {PrevNthWeekdayOfMonth(rec.w, n, today), NextNthWeekdayOfMonth(rec.w, n, today)};
        }
        if (rec.k == 5)
            return {PrevWeekday(rec.w, today), NextWeekday(rec.w, today)};
        if (rec.k == 6)
            return {PrevLastWeekdayOfMonth(rec.w, today), NextLastWeekdayOfMonth(rec.w, today)};
        return {today, today};
    case RecurrenceKind::None: break;
    }
    return {today, today};
}

Date NextOccurrence(const Komunikat& r, Date today) { return OccurrencesOf(r, today).next; }
Date PreviousOccurrence(const Komunikat& r, Date today) { return OccurrencesOf(r, today).previous; }

int32_t DaysUntil(const Komunikat& r, Date today) { return NextOccurrence(r, today) - today; }
int32_t DaysSince(const Komunikat& r, Date today) { return today - PreviousOccurrence(r, today); }

bool WindowOpened(const Komunikat& r, Date today)
{
    return int64_t(r.Data.serial) - r.IlePrzed <= today.serial;
}

namespace {

DayClass ClassifyPeriodic(const Komunikat& r, Date today)
{
    if (!WindowOpened(r, today))
        return {};
    const Occurrences o = OccurrencesOf(r, today);
    const int32_t u = o.next - today;
    const int32_t p = today - o.previous;
    if (u <= r.IlePrzed)
        return {DayClass::Before, u};
    if (p <= r.IlePrzed)
        return {DayClass::After, p};
    return {};
}

} // namespace

DayClass ClassifyDay(const Komunikat& r, Date today)
{
    switch (DecodeRecurrence(r.CoIle).kind) {
    case RecurrenceKind::OneOff: {
        if (!WindowOpened(r, today))
            return {};
        const int32_t d = r.Data - today;
        if (std::llabs(int64_t(d)) > r.IlePrzed)
            return {};
        return d < 0 ? DayClass{DayClass::After, d} : DayClass{DayClass::Before, d};
    }
    case RecurrenceKind::Daily: return {DayClass::Before, 0};
    case RecurrenceKind::None: return {};
    default: return ClassifyPeriodic(r, today);
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
