// The entry point of the sound module, loaded by ModuleSoundPlayer.
#include "platform/sound/reminder_sound.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT remindo::SoundPlayer* remindo_sound_player()
{
    return new remindo::QtSoundPlayer;
}
