#include "calendar/calendarexam.h"

#include "dates/datetools.h"
#include "engine/occurrence.h"
#include "store/codec.h"
#include "store/formats.h"
#include "store/log.h"
#include "store/reminders.h"
#include "store/settings.h"

#include <string>

namespace remindo {

bool FallsOnDayRule(int32_t coIle, Date data, Date day)
{
    const int64_t diff = int64_t(day.serial) - data.serial;
    const Recurrence rec = DecodeRecurrence(coIle);
    switch (rec.kind) {
    case RecurrenceKind::OneOff: return day == data;
    case RecurrenceKind::Daily: return true;
    case RecurrenceKind::Weekly: return diff % 7 == 0;
    // Monthly and yearly match the start's own day exactly: a 31st is listed
    // only in months that have one, 29 February only in leap years.
    case RecurrenceKind::Monthly: return DayOf(day) == DayOf(data);
    case RecurrenceKind::Yearly: {
        const Ymd a = YmdOf(day), b = YmdOf(data);
        return a.day == b.day && a.month == b.month;
    }
    case RecurrenceKind::EveryXDays: return diff % rec.every == 0;
    case RecurrenceKind::DaysOfMonth:
        if (rec.k >= 1 && rec.k <= 4)
            return day == NextNthWeekdayOfMonth(rec.w, int(rec.k), day);
        if (rec.k == 5)
            return day == NextWeekday(rec.w, day);
        if (rec.k == 6)
            return day == NextLastWeekdayOfMonth(rec.w, day);
        return false; // k of 7 or more names no day
    case RecurrenceKind::None: return false;
    }
    return false;
}

WeekTally::WeekTally(Date date)
{
    const Date monday = MondayOfWeek(date);
    for (int d = 0; d < 7; ++d)
        days_[size_t(d)].Dzien = IncDay(monday, d);
    for (int32_t code = kFirstWeekdayCode; code <= kLastWeekdayCode; ++code)
        for (int d = 0; d < 7; ++d)
            if (FallsOnDayRule(-code, monday, days_[size_t(d)].Dzien))
                weekdayRuleDays_[size_t(code)] |= uint8_t(1u << d);
}

void WeekTally::Clear()
{
    for (Zdarzenie& day : days_)
        day.Zdarzenia.clear();
}

void WeekTally::Add(int32_t index, int32_t coIle, Date data)
{
    if (coIle <= -kFirstWeekdayCode && coIle >= -kLastWeekdayCode) {
        const uint8_t days = weekdayRuleDays_[size_t(-coIle)];
        for (int d = 0; d < 7; ++d)
            if (days & (1u << d))
                days_[size_t(d)].Zdarzenia.push_back(index);
        return;
    }
    for (Zdarzenie& day : days_)
        if (FallsOnDayRule(coIle, data, day.Dzien))
            day.Zdarzenia.push_back(index);
}

CalendarExamination::CalendarExamination(const Komunikaty& list, const Settings& settings, DiagnosticLog& log,
                                         const RegionalFormats& formats)
    : list_(list), settings_(settings), log_(log), formats_(formats)
{
}

void CalendarExamination::ExamineWeek(Date date)
{
    static const std::string kStarts = Cp("Rozpoczęcie badania komunikatów do kalendarza");
    static const std::string kEnds = Cp("Koniec badania komunikatów do kalendarza");
    static const std::string kStars = std::string(18, '*') + " ";
    const bool recording = log_.Recording();

    const Date monday = MondayOfWeek(date);
    if (recording) {
        log_.WriteLog(std::string());
        log_.WriteLog(kStarts);
        log_.WriteLog(kStars);
    }
    log_.FlushLog();
    for (int d = 0; d < 7; ++d) {
        const Date day = IncDay(monday, d);
        if (recording && settings_.LogDetail > 1)
            log_.WriteLog("---- " + formats_.ShortDate(day) + "----");
        Zdarzenie& entry = Tydzien[size_t(d)];
        entry.Zdarzenia.clear();
        entry.Dzien = day;
        for (int i = 0; i < list_.ReminderCount(); ++i) {
            if (!FallsOnDay(i, day))
                continue;
            entry.Zdarzenia.push_back(i);
            if (recording && settings_.LogDetail > 2)
                log_.WriteLog("Zdarzenie nr " + std::to_string(i) + " do kalendarza");
        }
    }
    if (recording) {
        log_.WriteLog(kEnds);
        log_.WriteLog(kStars);
    }
}

bool CalendarExamination::FallsOnDay(int index, Date day)
{
    if (log_.Recording()) {
        if (settings_.LogDetail > 1)
            log_.WriteLog("Badanie komunikatu do kalendarza nr " + std::to_string(index + 1));
        log_.FlushLog();
    }
    const Komunikat& r = list_[index];
    return FallsOnDayRule(r.CoIle, r.Data, day);
}

} // namespace remindo
