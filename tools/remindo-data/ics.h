#pragma once
// Reminders as iCalendar events and back. Every kind is an exact rule, so
// that a calendar program lists the days the program warns on; what
// iCalendar has no word for travels in X-REMINDO-* properties, so that an
// exported list imports as the same list.

#include "icsevent.h"

#include "store/reminders.h"

#include <string>
#include <vector>

namespace remindo::cli {

struct IcsExport {
    std::vector<IcsEvent> events;
    std::vector<int> indices;      // each event's reminder, by its index in the list
    std::vector<std::string> left; // one line for each reminder left out
};

IcsExport EventsOf(const Komunikaty& list);

struct IcsImport {
    Komunikaty list;
    std::vector<std::string> refused; // one line for each event that maps onto no reminder
    bool droppedTimes = false;        // some start had a time of day
    bool droppedZones = false;        // ... in a time zone or in UTC
};

// `today` starts a new reminder's day block, as the editor's does.
IcsImport RemindersOf(const std::vector<IcsEvent>& events, Date today);

} // namespace remindo::cli
