#pragma once
// The reminder sound "dobre": a soft two-note chime, synthesised so that
// the program carries no recording of anyone else's.

#include <QByteArray>

namespace remindo::painter {

inline constexpr int kChimeRate = 44100;         // samples per second, mono
inline constexpr double kChimeSeconds = 1.2;

// A complete 16-bit PCM WAV file.
QByteArray ChimeWav();

} // namespace remindo::painter
