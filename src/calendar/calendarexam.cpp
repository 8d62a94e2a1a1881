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

WeekTally::WeekTally(Date date)
{
    const Date monday = MondayOfWeek(date);
    for (int d = 0; d < 7; ++d)
        days_[size_t(d)].Dzien = IncDay(monday, d);
    for (int k = 1; k <= kLastWeekdayOfMonth; ++k)
        for (int w = 1; w <= 7; ++w)
            weekdayRuleDays_[size_t(k - 1)][size_t(w - 1)] =
                uint8_t(OccurrenceDays(Recurrence::WeekdayOfMonth(k, w), monday, monday, 7));
}

void WeekTally::Clear()
{
    for (Zdarzenie& day : days_)
        day.Zdarzenia.clear();
}

void WeekTally::Add(int32_t index, int32_t coIle, Date data)
{
    const Date monday = days_[0].Dzien;
    const Recurrence rec = DecodeRecurrence(coIle);
    uint32_t days;
    if (rec.IsWeekdayRule()) {
        // A weekday rule's first occurrence is the first day on or after its
        // date that the rule names, so its days are the rule's days from the
        // date on.
        const int64_t from = int64_t(data.serial) - monday.serial;
        const uint32_t begun = from <= 0 ? 0x7Fu : from >= 7 ? 0u : 0x7Fu & ~((1u << from) - 1);
        days = weekdayRuleDays_[size_t(rec.k - 1)][size_t(rec.w - 1)] & begun;
    } else {
        days = OccurrenceDays(rec, data, monday, 7);
    }
    for (int d = 0; days != 0; ++d, days >>= 1)
        if (days & 1u)
            days_[size_t(d)].Zdarzenia.push_back(index);
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

    if (recording) {
        log_.WriteLog(std::string());
        log_.WriteLog(kStarts);
        log_.WriteLog(kStars);
    }
    log_.FlushLog();
    WeekTally tally(date);
    for (int i = 0; i < list_.ReminderCount(); ++i)
        tally.Add(i, list_[i].CoIle, list_[i].Data);
    for (int d = 0; d < 7; ++d) {
        const Zdarzenie& found = tally.Days()[size_t(d)];
        Zdarzenie& entry = Tydzien[size_t(d)];
        entry.Dzien = found.Dzien;
        entry.Zdarzenia = found.Zdarzenia;
        if (!recording)
            continue;
        // The log walks the list day by day, as each reminder is tested.
        if (settings_.LogDetail > 1)
            log_.WriteLog("---- " + formats_.ShortDate(entry.Dzien) + "----");
        size_t next = 0;
        for (int i = 0; i < list_.ReminderCount(); ++i) {
            LogTest(i);
            if (next < found.Zdarzenia.size() && found.Zdarzenia[next] == i) {
                ++next;
                if (settings_.LogDetail > 2)
                    log_.WriteLog("Zdarzenie nr " + std::to_string(i) + " do kalendarza");
            }
        }
    }
    if (recording) {
        log_.WriteLog(kEnds);
        log_.WriteLog(kStars);
    }
}

void CalendarExamination::LogTest(int index)
{
    if (!log_.Recording())
        return;
    if (settings_.LogDetail > 1)
        log_.WriteLog("Badanie komunikatu do kalendarza nr " + std::to_string(index + 1));
    log_.FlushLog();
}

bool CalendarExamination::FallsOnDay(int index, Date day)
{
    LogTest(index);
    return OccursOn(list_[index], day);
}

} // namespace remindo
