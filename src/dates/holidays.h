#pragma once
// Polish public holidays, computed: Easter by the Gregorian computus, the
// movable feasts from it, the others on fixed days. The set is the one in
// force since 1990, with Epiphany from 2011 and Christmas Eve from 2025;
// earlier years have none.

#include "dates/date.h"

#include <string_view>

namespace remindo {

// Easter Sunday of a Gregorian year.
Date EasterSunday(int year);

// The holiday's Polish name (Windows-1250, like every text the program
// keeps), or empty on any other day.
std::string_view PolishHoliday(Date day);

} // namespace remindo
