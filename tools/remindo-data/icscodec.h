#pragma once
// The iCalendar text through libical: what libremindo-data-ics.so holds.

#include "ical/icsevent.h"

#include <cstddef>
#include <memory>

namespace remindo {

// What a calendar may be before libical reads it. libical splits a line in
// time that grows with the square of its length and frees components by
// recursion, so a longer line or a deeper nesting refuses the file.
// Calendars fold their lines at 75 bytes; at 64 KiB, a file of 64 MiB in
// such lines still reads in the time of one in short lines.
inline constexpr size_t kMaxIcsLine = 65536;
// VCALENDAR, VEVENT, VALARM: a calendar nests three deep.
inline constexpr int kMaxIcsDepth = 16;

std::unique_ptr<IcsCodec> MakeLibicalCodec();

} // namespace remindo
