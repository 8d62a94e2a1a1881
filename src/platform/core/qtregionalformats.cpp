#include "platform/core/qtregionalformats.h"

#include "store/codec.h"

#include <QDate>
#include <QTime>

#include <algorithm>

namespace remindo {
namespace {

QLocale UsableLocale(const QLocale& locale)
{
    if (locale.language() == QLocale::C)
        return QLocale(QLocale::Polish, QLocale::Poland);
    return locale;
}

// The long time format without its time-zone fields (t, tt, ttt, tttt) and
// the blanks or brackets that only framed them. Quoted text stays.
QString WithoutTimeZone(const QString& format)
{
    QString out;
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        out += c;
    }
    out.replace(QStringLiteral("()"), QString());
    return out.simplified();
}

QString FromCp(std::string_view text) { return QString::fromStdString(Utf8FromCp1250(text)); }
std::string ToCp(const QString& text) { return Cp1250FromUtf8(text.toStdString()).text; }

QDate ToQDate(Date d)
{
    const Ymd v = YmdOf(d);
    return QDate(v.year, v.month, v.day);
}

} // namespace

QtRegionalFormats::QtRegionalFormats() : QtRegionalFormats(QLocale::system()) {}

QtRegionalFormats::QtRegionalFormats(const QLocale& locale)
    : locale_(UsableLocale(locale)), longTimeFormat_(WithoutTimeZone(locale_.timeFormat(QLocale::LongFormat)))
{
}

std::string QtRegionalFormats::ShortDate(Date d) const
{
    return ToCp(locale_.toString(ToQDate(d), QLocale::ShortFormat));
}

std::string QtRegionalFormats::LongDate(Date d) const
{
    return ToCp(locale_.toString(ToQDate(d), QLocale::LongFormat));
}

std::string QtRegionalFormats::LongTime(const DateTime& t) const
{
    const int ms = std::clamp(t.msecs, 0, 24 * 3600 * 1000 - 1);
    return ToCp(locale_.toString(QTime::fromMSecsSinceStartOfDay(ms), longTimeFormat_));
}

std::string QtRegionalFormats::Lower(std::string_view text) const
{
    return ToCp(locale_.toLower(FromCp(text)));
}

std::optional<Date> QtRegionalFormats::ParseShortDate(std::string_view text) const
{
    const QDate q = locale_.toDate(FromCp(text), QLocale::ShortFormat);
    Date out;
    if (!q.isValid() || !TryDateFromYmd(q.year(), q.month(), q.day(), out))
        return std::nullopt;
    return out;
}

} // namespace remindo
