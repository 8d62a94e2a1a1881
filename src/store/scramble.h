#pragma once
// Scrambling of single-line values as both files store them: a marker byte,
// random filler, then every byte through a fixed substitution.

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace remindo {

// Forward and inverse substitution of one byte.
unsigned char ScrambleByte(unsigned char c);
unsigned char UnscrambleByte(unsigned char c);

// True for the bytes that never occur in a stored text (Windows-1250 leaves
// them undefined), which the substitution uses as spare images.
bool IsUnusedByte(unsigned char c);

inline constexpr unsigned char kMarkerEmpty = 254;

class Scrambler {
public:
    // Seeded from the system's entropy source.
    Scrambler();
    explicit Scrambler(uint32_t seed) : rng_(seed) {}

    void Seed(uint32_t seed) { rng_.seed(seed); }

    std::string ScrambleValue(std::string_view value, bool on);
    // The same, appended to `out`.
    void ScrambleInto(std::string_view value, bool on, std::string& out);

private:
    int Draw(int count); // uniform 0 .. count-1
    std::mt19937 rng_;
};

// Empty input is the one error: a scrambled value is never empty.
std::optional<std::string> UnscrambleValue(std::string_view text, bool on);
// The same into a buffer the caller reuses; false for empty input.
bool UnscrambleInto(std::string_view text, bool on, std::string& out);

} // namespace remindo
