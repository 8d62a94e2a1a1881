#pragma once
// Windows-1250 <-> UTF-8, for the boundary between stored texts and the
// user interface, on the C library's iconv.

#include <string>
#include <string_view>

namespace remindo {

// Every Windows-1250 byte has a character, except the five bytes the code
// page leaves undefined, which come out as U+FFFD.
std::string Utf8FromCp1250(std::string_view cp1250);

struct Cp1250Result {
    std::string text;        // unrepresentable characters replaced by '?'
    std::u32string rejected; // the characters that Windows-1250 cannot hold, in order
    bool ok() const { return rejected.empty(); }
};

// Invalid UTF-8 counts as rejected (as U+FFFD).
Cp1250Result Cp1250FromUtf8(std::string_view utf8);

// For the program's own fixed texts, which hold only Polish letters.
std::string Cp(std::string_view utf8);

} // namespace remindo
