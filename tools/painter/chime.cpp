#include "painter/chime.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace remindo::painter {

namespace {

// One struck note: a few partials, each dying away on its own, the higher
// ones faster, as a small bell or a marimba bar does.
struct Partial {
    double ratio;
    double level;
    double decay; // seconds to fall to 1/e
};
constexpr Partial kPartials[] = {
    {1.0, 1.0, 0.55}, {2.0, 0.28, 0.30}, {3.0, 0.08, 0.18}, {4.07, 0.04, 0.12}};

struct Note {
    double start;
    double frequency;
    double level;
};
// G5 then C6: a rising fourth that sounds like "done, fine".
constexpr Note kNotes[] = {{0.0, 783.99, 0.8}, {0.14, 1046.50, 1.0}};

constexpr double kAttack = 0.008;  // a soft strike, no click
constexpr double kFadeOut = 0.2;   // the tail is brought to silence
constexpr double kPeak = 0.79;     // about -2 dBFS: loud enough, never clipped

void PutLe16(QByteArray& b, quint16 v)
{
    char d[2];
    qToLittleEndian(v, d);
    b.append(d, 2);
}

void PutLe32(QByteArray& b, quint32 v)
{
    char d[4];
    qToLittleEndian(v, d);
    b.append(d, 4);
}

} // namespace

QByteArray ChimeWav()
{
    const int frames = static_cast<int>(kChimeRate * kChimeSeconds);
    std::vector<double> wave(static_cast<size_t>(frames), 0.0);
    constexpr double twoPi = 2.0 * std::numbers::pi;
    for (const Note& n : kNotes) {
        for (int i = static_cast<int>(n.start * kChimeRate); i < frames; ++i) {
            const double t = i / double(kChimeRate) - n.start;
            const double attack = t < kAttack ? 0.5 - 0.5 * std::cos(std::numbers::pi * t / kAttack) : 1.0;
            double s = 0;
            for (const Partial& p : kPartials)
                s += p.level * std::exp(-t / p.decay) * std::sin(twoPi * n.frequency * p.ratio * t);
            wave[static_cast<size_t>(i)] += n.level * attack * s;
        }
    }
    const int fadeFrames = static_cast<int>(kFadeOut * kChimeRate);
    for (int k = 0; k < fadeFrames; ++k) {
        const double g = 0.5 + 0.5 * std::cos(std::numbers::pi * (k + 1) / fadeFrames);
        wave[static_cast<size_t>(frames - fadeFrames + k)] *= g;
    }
    double peak = 0;
    for (double v : wave)
        peak = std::max(peak, std::abs(v));
    const double scale = peak > 0 ? kPeak / peak : 0;

    QByteArray pcm;
    pcm.reserve(frames * 2);
    for (double v : wave)
        PutLe16(pcm, static_cast<quint16>(static_cast<qint16>(std::lround(v * scale * 32767.0))));

    QByteArray wav;
    wav.append("RIFF");
    PutLe32(wav, static_cast<quint32>(36 + pcm.size()));
    wav.append("WAVE");
    wav.append("fmt ");
    PutLe32(wav, 16);                  // size of the format block
    PutLe16(wav, 1);                   // PCM
    PutLe16(wav, 1);                   // mono
    PutLe32(wav, kChimeRate);
    PutLe32(wav, kChimeRate * 2);      // bytes per second
    PutLe16(wav, 2);                   // bytes per frame
    PutLe16(wav, 16);                  // bits per sample
    wav.append("data");
    PutLe32(wav, static_cast<quint32>(pcm.size()));
    wav.append(pcm);
    return wav;
}

} // namespace remindo::painter
