#pragma once
// An iCalendar event as far as reminders go, between the mapping of
// reminders (ics.h) and libical, which reads and writes the text in the
// module libremindo-data-ics.so: libical brings ICU with it, whose loading
// alone would cost more than most commands take, so only what reads or
// writes a calendar loads it.

#include "dates/date.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace remindo {

// One BYDAY entry: position 0 for every such weekday, 1..4 the nth, -1 the
// last; weekday 1 = Sunday .. 7 = Saturday, as in the recurrence codes.
struct IcsWeekday {
    int position = 0;
    int weekday = 0;
    friend bool operator==(const IcsWeekday&, const IcsWeekday&) = default;
};

// One RRULE.
struct IcsRule {
    std::string freq; // "DAILY", "WEEKLY", "MONTHLY", "YEARLY", or whatever else the file says
    int interval = 1;
    std::vector<int> byMonthDay, byMonth, bySetPos;
    std::vector<IcsWeekday> byDay;
    // Read only: the parts that no reminder has ("COUNT", "UNTIL", "BYHOUR", ...)
    // and the rule as written, for messages.
    std::vector<std::string> other;
    std::string text;
};

struct IcsEvent {
    std::string component = "VEVENT"; // or "VTODO" when read
    std::string uid;
    std::string summary; // UTF-8
    bool hasStart = false;
    // DTSTART (a to-do's DUE when it has none); read: a time in a time zone
    // or in UTC gives the day it falls on in the user's time zone.
    Ymd start;
    bool timed = false;      // read: the start had a time of day
    bool zoned = false;      // read: ... in a time zone or in UTC
    std::string unknownZone; // read: the start's TZID, known neither to the file nor to the system
    std::vector<IcsRule> rules;
    bool hasAlarm = false;
    // The days ahead; read: of the earliest alarm before the start, rounded
    // towards the start to whole days.
    int64_t alarmDaysBefore = 0;
    int64_t alarmSecondsBefore = 0; // read: the same alarm exactly (negative: after the start)
    // Read only: what no reminder can keep (EXDATE, RDATE, RECURRENCE-ID, a
    // line libical could not read, ...), each with its reason.
    std::vector<std::string> other;
    // Read only: what the event says that a reminder does not keep although
    // the event itself is taken: DESCRIPTION, LOCATION, ..., each named once.
    std::vector<std::string> notKept;
    std::vector<std::pair<std::string, std::string>> extra; // the X-REMINDO-* properties
};

class IcsCodec {
public:
    virtual ~IcsCodec() = default;
    // A VCALENDAR of all-day events; `stamp` (seconds since 1970, UTC) is
    // every event's DTSTAMP.
    virtual std::string Write(const std::vector<IcsEvent>& events, int64_t stamp) = 0;
    // The VEVENTs and VTODOs of a calendar; false with a reason when the text
    // holds none.
    virtual bool Read(std::string_view text, std::vector<IcsEvent>& events, std::string& why) = 0;
};

// Answers the codec, or nullptr with a one-line reason in `why`.
using IcsSource = std::function<IcsCodec*(std::string& why)>;

// The module's file name and its one entry point, which answers a new
// IcsCodec for the caller to delete.
inline constexpr const char* kIcsModule = "libremindo-data-ics.so";
inline constexpr const char* kIcsModuleEntry = "remindo_data_ics";

} // namespace remindo
