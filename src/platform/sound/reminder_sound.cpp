#include "platform/sound/reminder_sound.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace remindo {

struct QtSoundPlayer::Impl {
    QSoundEffect effect;
};

QtSoundPlayer::QtSoundPlayer() = default;
QtSoundPlayer::~QtSoundPlayer() = default;

bool QtSoundPlayer::Play(uint16_t volume)
{
    if (QMediaDevices::audioOutputs().isEmpty())
        return false;
    if (!impl_) {
        impl_ = std::make_unique<Impl>();
        impl_->effect.setSource(QUrl(QStringLiteral("qrc:/sounds/dobre.wav")));
    }
    lastVolume_ = StreamVolume(volume);
    impl_->effect.setAudioDevice(QMediaDevices::defaultAudioOutput());
    impl_->effect.setVolume(float(lastVolume_));
    impl_->effect.play();
    return true;
}

} // namespace remindo
