#pragma once
// Polish regional formats that never change with the machine: short date
// d.MM.yyyy, long date "8 grudnia 2026", long time HH:mm:ss. Used by tests
// and wherever a stable format is wanted.

#include "store/formats.h"

namespace remindo {

class FixedFormats final : public RegionalFormats {
public:
    std::string ShortDate(Date d) const override;
    std::string LongDate(Date d) const override;
    std::string LongTime(const DateTime& t) const override;
    std::string Lower(std::string_view text) const override;
    std::optional<Date> ParseShortDate(std::string_view text) const override;
};

} // namespace remindo
