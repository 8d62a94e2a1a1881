#pragma once
// Reminders as iCalendar events and back. Every kind is an exact rule, so
// that a calendar program lists the days the program warns on; what
// iCalendar has no word for travels in X-REMINDO-* properties, so that an
// exported list imports as the same list.

#include "ical/icsevent.h"

#include "store/reminders.h"

#include <optional>
#include <string>
#include <vector>

namespace remindo {

// One reminder as one all-day event, with the UID of ReminderUid(k); false
// with the reason when iCalendar cannot say its rule or its first date.
bool EventOf(const Komunikat& k, IcsEvent& e, std::string& why);

// The UID of a reminder's event: the same at every export while its text,
// date and rule stay, so that a calendar that holds the event keeps it. The
// nth reminder of a list with the same text, date and rule gets its own.
std::string ReminderUid(const Komunikat& k, int nth = 1);

// One event as one reminder, `today` starting its day block as the editor's
// does; nothing, with one line naming the event and the reason in `why`,
// when it maps onto none. Each thing the event loses on the way (what no
// reminder keeps, an alarm rounded to whole days, an unknown time zone)
// adds a line naming the event to `notes`.
std::optional<Komunikat> ReminderOf(const IcsEvent& e, Date today, std::string& why,
                                    std::vector<std::string>* notes = nullptr);

struct IcsExport {
    std::vector<IcsEvent> events;
    std::vector<int> indices;      // each event's reminder, by its index in the list
    std::vector<std::string> left; // one line for each reminder left out
};

// Every reminder of the list that iCalendar can say, UIDs as ReminderUid
// gives them.
IcsExport EventsOf(const Komunikaty& list);

struct IcsImport {
    Komunikaty list;
    std::vector<std::string> refused; // one line for each event that maps onto no reminder
    // One line for each thing a taken event loses on the way: what no
    // reminder keeps, an alarm rounded to whole days, an unknown time zone.
    std::vector<std::string> notes;
    int alreadyThere = 0;      // events left out as already in the list
    bool droppedTimes = false; // some start had a time of day
    bool movedZones = false;   // ... in a time zone or in UTC, taken to the user's day
};

// `today` starts a new reminder's day block, as the editor's does. An event
// that `already` holds (the same text, date and rule, or the UID its export
// gives a reminder there) is counted, not taken.
IcsImport RemindersOf(const std::vector<IcsEvent>& events, Date today, const Komunikaty& already = {});

} // namespace remindo
