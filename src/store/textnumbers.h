#pragma once
// Decimal numbers as both files store them.

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

namespace remindo {

// An optional sign and decimal digits, nothing else, within 32 bits.
inline std::optional<int32_t> ParseInt32(std::string_view s)
{
    const bool plus = !s.empty() && s.front() == '+';
    if (plus)
        s.remove_prefix(1);
    if (s.empty() || (plus && s.front() == '-'))
        return std::nullopt;
    int32_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return v;
}

} // namespace remindo
