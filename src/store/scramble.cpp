#include "store/scramble.h"

#include <algorithm>
#include <array>

namespace remindo {
namespace {

// The substitution. Its domain is every byte from 32 to 247 except the two
// spare bytes 0x81 and 0x83, which Windows-1250 leaves undefined and which
// therefore never stand in a text. Its images are the same set with the blank
// and DEL (127) swapped out for the two spare bytes. So:
//  - no byte maps to a blank or a control character, and every image is
//    within 33..247;
//  - the inverse restores every byte of a stored text exactly: bytes outside
//    the domain (0..31, 248..255) pass both ways unchanged and are never
//    images; only the spare bytes, which no text holds, would not round-trip.
// The images are dealt out by a fixed multiplicative step so that neighbouring
// bytes land far apart. Changing this table makes every stored file unreadable.
struct Tables {
    std::array<unsigned char, 256> forward{};
    std::array<unsigned char, 256> inverse{};
};

constexpr bool Spare(int c) { return c == 0x81 || c == 0x83; }

constexpr Tables BuildTables()
{
    Tables t;
    std::array<unsigned char, 256> domain{};
    std::array<unsigned char, 256> images{};
    int n = 0, m = 0;
    for (int c = 32; c <= 247; ++c) {
        if (Spare(c))
            continue;
        domain[size_t(n++)] = static_cast<unsigned char>(c);
        if (c != 32 && c != 127)
            images[size_t(m++)] = static_cast<unsigned char>(c);
    }
    images[size_t(m++)] = 0x81;
    images[size_t(m++)] = 0x83;
    for (int c = 0; c < 256; ++c) {
        t.forward[size_t(c)] = static_cast<unsigned char>(c);
        t.inverse[size_t(c)] = static_cast<unsigned char>(c);
    }
    // n = m = 214 = 2 * 107; 97 is coprime to it, so the step is a bijection.
    for (int i = 0; i < n; ++i) {
        const unsigned char from = domain[size_t(i)];
        const unsigned char to = images[size_t((i * 97 + 31) % n)];
        t.forward[from] = to;
        t.inverse[to] = from;
    }
    return t;
}

constexpr Tables kTables = BuildTables();

static_assert(kTables.forward[32] != 32 && kTables.forward[32] > 32);

int FillerCount(unsigned char marker)
{
    switch (marker) {
    case 160: return 2;
    case 161: return 3;
    case 167: return 4;
    case 147: return 5;
    default: return -1;
    }
}

} // namespace

unsigned char ScrambleByte(unsigned char c) { return kTables.forward[c]; }
unsigned char UnscrambleByte(unsigned char c) { return kTables.inverse[c]; }
bool IsUnusedByte(unsigned char c) { return Spare(c); }

Scrambler::Scrambler() : rng_(std::random_device{}()) {}

int Scrambler::Draw(int count)
{
    return std::uniform_int_distribution<int>(0, count - 1)(rng_);
}

std::string Scrambler::ScrambleValue(std::string_view value, bool on)
{
    std::string out;
    ScrambleInto(value, on, out);
    return out;
}

void Scrambler::ScrambleInto(std::string_view value, bool on, std::string& out)
{
    if (value.empty()) {
        const int n = 3 + Draw(8);
        out.push_back(char(kMarkerEmpty));
        for (int i = 0; i < n; ++i)
            out.push_back(char(33 + Draw(200)));
        return;
    }
    if (!on) {
        out.append(value);
        return;
    }
    const int n = 2 + Draw(3);
    static constexpr unsigned char kMarkers[] = {160, 161, 167};
    const size_t at = out.size();
    out.resize(at + 1 + size_t(n) + value.size());
    char* p = out.data() + at;
    *p++ = char(kMarkers[n - 2]);
    for (int i = 0; i < n; ++i)
        *p++ = char(33 + Draw(200));
    for (char c : value)
        *p++ = char(kTables.forward[static_cast<unsigned char>(c)]);
}

bool UnscrambleInto(std::string_view text, bool on, std::string& out)
{
    if (text.empty())
        return false;
    const auto first = static_cast<unsigned char>(text[0]);
    if (first == kMarkerEmpty) {
        out.clear();
        return true;
    }
    std::string_view kept = text;
    if (on) {
        const int filler = FillerCount(first);
        if (filler >= 0)
            kept = text.substr(std::min(text.size(), size_t(1 + filler)));
    }
    out.resize(kept.size());
    if (on)
        std::transform(kept.begin(), kept.end(), out.begin(),
                       [](char c) { return char(kTables.inverse[static_cast<unsigned char>(c)]); });
    else
        out.assign(kept);
    return true;
}

std::optional<std::string> UnscrambleValue(std::string_view text, bool on)
{
    std::string out;
    if (!UnscrambleInto(text, on, out))
        return std::nullopt;
    return out;
}

} // namespace remindo
