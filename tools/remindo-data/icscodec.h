#pragma once
// The iCalendar text through libical: what libremindo-data-ics.so holds.

#include "icsevent.h"

#include <memory>

namespace remindo::cli {

std::unique_ptr<IcsCodec> MakeLibicalCodec();

} // namespace remindo::cli
