#pragma once
// The user's regional formats, as the store and the engine need them. All
// texts are Windows-1250. The real service sits on QLocale (platform/);
// tests use fixed formats.

#include "dates/date.h"

#include <optional>
#include <string>
#include <string_view>

namespace remindo {

class RegionalFormats {
public:
    virtual ~RegionalFormats() = default;
    virtual std::string ShortDate(Date d) const = 0;
    virtual std::string LongDate(Date d) const = 0;
    // Hours, minutes and seconds, without a time-zone suffix.
    virtual std::string LongTime(const DateTime& t) const = 0;
    virtual std::string Lower(std::string_view text) const = 0;
    // Reads a date written in this short date format; nullopt when it does not read.
    virtual std::optional<Date> ParseShortDate(std::string_view text) const = 0;
};

} // namespace remindo
