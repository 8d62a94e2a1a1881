#pragma once
// The user's regional formats from the system locale. Where the system has
// no regional settings at all (the C or POSIX locale), the program's own
// language, Polish, stands in. Texts in and out are Windows-1250.

#include "store/formats.h"

#include <QLocale>
#include <QString>

namespace remindo {

class QtRegionalFormats final : public RegionalFormats {
public:
    QtRegionalFormats(); // the system locale
    explicit QtRegionalFormats(const QLocale& locale);

    std::string ShortDate(Date d) const override;
    std::string LongDate(Date d) const override;
    std::string LongTime(const DateTime& t) const override;
    std::string Lower(std::string_view text) const override;
    std::optional<Date> ParseShortDate(std::string_view text) const override;

    const QLocale& Locale() const { return locale_; }
    QString LongTimeFormat() const { return longTimeFormat_; }

private:
    QLocale locale_;
    QString longTimeFormat_;
};

} // namespace remindo
