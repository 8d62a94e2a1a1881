#include "store/fixedformats.h"

#include <charconv>
#include <cstdio>

namespace remindo {

std::string FixedFormats::ShortDate(Date d) const
{
    const Ymd v = YmdOf(d);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d.%02d.%04d", v.day, v.month, v.year);
    return buf;
}

std::string FixedFormats::LongDate(Date d) const
{
    // Genitive month names, Windows-1250.
    static constexpr const char* kMonths[12] = {
        "stycznia", "lutego", "marca", "kwietnia", "maja", "czerwca",
        "lipca", "sierpnia", "wrze\x9cnia", "pa\x9fzdziernika", "listopada", "grudnia"};
    const Ymd v = YmdOf(d);
    return std::to_string(v.day) + " " + kMonths[v.month - 1] + " " + std::to_string(v.year);
}

std::string FixedFormats::LongTime(const DateTime& t) const
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour(), t.minute(), t.second());
    return buf;
}

std::string FixedFormats::Lower(std::string_view text) const
{
    std::string out(text);
    for (char& ch : out) {
        auto c = static_cast<unsigned char>(ch);
        if (c >= 'A' && c <= 'Z')
            c = static_cast<unsigned char>(c + 32);
        else if (c == 0xA5) c = 0xB9;                // Ą
        else if (c == 0xA3) c = 0xB3;                // Ł
        else if (c == 0x8C || c == 0x8F) c += 0x10;  // Ś Ź
        else if (c == 0xAF) c = 0xBF;                // Ż
        else if (c >= 0xC0 && c <= 0xDE && c != 0xD7) c += 0x20; // Ć Ę Ń Ó and the rest
        ch = char(c);
    }
    return out;
}

std::optional<Date> FixedFormats::ParseShortDate(std::string_view text) const
{
    int parts[3];
    const char* p = text.data();
    const char* end = text.data() + text.size();
    for (int i = 0; i < 3; ++i) {
        auto [next, ec] = std::from_chars(p, end, parts[i]);
        if (ec != std::errc() || next == p)
            return std::nullopt;
        p = next;
        if (i < 2) {
            if (p == end || *p != '.')
                return std::nullopt;
            ++p;
        }
    }
    Date out;
    if (p != end || !TryDateFromYmd(parts[2], parts[1], parts[0], out))
        return std::nullopt;
    return out;
}

} // namespace remindo
