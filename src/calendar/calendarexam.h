#pragma once
// Which reminders fall on each day of a week, for the calendar window and
// remindo-data: the days on which each one occurs by the engine's own rule
// (OccursOn). Warning windows, warn-after and blocks play no part, and no
// reminder is changed.

#include "dates/date.h"

#include <array>
#include <cstdint>
#include <vector>

namespace remindo {

class DiagnosticLog;
class Komunikaty;
class RegionalFormats;
struct Settings;

// One day of the calendar (`_Zdarzenie`): the day and the list indices of the
// reminders that fall on it, ascending.
struct Zdarzenie {
    Date Dzien;
    std::vector<int32_t> Zdarzenia;
};

class CalendarExamination {
public:
    CalendarExamination(const Komunikaty& list, const Settings& settings, DiagnosticLog& log,
                        const RegionalFormats& formats);

    // Fills Tydzien with Monday to Sunday of the week that holds `date`.
    void ExamineWeek(Date date);
    bool FallsOnDay(int index, Date day);

    // Entries 0..6 = Monday..Sunday of the last examined week. The indices stay
    // valid only until the reminder list changes.
    std::array<Zdarzenie, 7> Tydzien;

private:
    void LogTest(int index);

    const Komunikaty& list_;
    const Settings& settings_;
    DiagnosticLog& log_;
    const RegionalFormats& formats_;
};

// The week of a date filled one reminder at a time, for a list that is read
// rather than held; ExamineWeek fills its week through it too.
class WeekTally {
public:
    explicit WeekTally(Date date);
    void Clear();
    void Add(int32_t index, int32_t coIle, Date data);
    const std::array<Zdarzenie, 7>& Days() const { return days_; }

private:
    // The weekday rules name the same days of this week for every reminder
    // that has begun by its Monday: worked out once, by count and weekday.
    std::array<std::array<uint8_t, 7>, 6> weekdayRuleDays_{};
    std::array<Zdarzenie, 7> days_;
};

} // namespace remindo
