#pragma once
// The reminder sound, played at the program's own stream volume. The
// device's volume, which belongs to the user and other programs, is never
// touched.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

class QLibrary;

namespace remindo {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts the sound at `volume` of 65535 and returns at once; false when
    // nothing is played (no audio output). Says nothing either way.
    virtual bool Play(uint16_t volume) = 0;
};

// "dobre" from the resources through Qt Multimedia.
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

// The name of the module that holds QtSoundPlayer, and of its entry point,
// which answers a new player.
inline constexpr const char* kSoundModule = "remindo-sound";
inline constexpr const char* kSoundModuleEntry = "remindo_sound_player";

// Qt Multimedia and the audio libraries under it take longer to load than
// the rest of the program: they live in the module and are loaded at the
// first sound, not at start-up. Without the module nothing is played.
class ModuleSoundPlayer final : public SoundPlayer {
public:
    // The folders looked in, in order (default: beside the program, then
    // the installed module folder).
    explicit ModuleSoundPlayer(QStringList folders = DefaultFolders());
    ~ModuleSoundPlayer() override;
    bool Play(uint16_t volume) override;

    bool Loaded() const { return player_ != nullptr; }
    static QStringList DefaultFolders();

private:
    QStringList folders_;
    bool tried_ = false;
    std::unique_ptr<QLibrary> library_;
    std::unique_ptr<SoundPlayer> player_;
};

} // namespace remindo
