#pragma once
// The reminder sound, played at the program's own stream volume. The
// device's volume, which belongs to the user and other programs, is never
// touched.

#include <cstdint>
#include <memory>

namespace remindo {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts the sound at `volume` of 65535 and returns at once; false when
    // nothing is played (no audio output). Says nothing either way.
    virtual bool Play(uint16_t volume) = 0;
};

// "dobre" from the resources through Qt Multimedia. The multimedia back end
// is loaded at the first sound, not at start-up.
class QtSoundPlayer final : public SoundPlayer {
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    bool Play(uint16_t volume) override;

    // The stream volume of the last sound started (0..1).
    double LastVolume() const { return lastVolume_; }
    static double StreamVolume(uint16_t volume) { return volume / 65535.0; }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    double lastVolume_ = -1;
};

} // namespace remindo
