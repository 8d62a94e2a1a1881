#include "platform/sound/reminder_sound.h"
#include "platform/gui/modulefolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace remindo {

ModuleSoundPlayer::ModuleSoundPlayer(QStringList folders) : folders_(std::move(folders)) {}

ModuleSoundPlayer::~ModuleSoundPlayer()
{
    // The player's code lives in the library: it goes first. The library
    // itself stays loaded; Qt Multimedia does not like being unloaded.
    player_.reset();
}

QStringList ModuleSoundPlayer::DefaultFolders()
{
    return ProgramModuleFolders();
}

bool ModuleSoundPlayer::Play(uint16_t volume)
{
    if (!tried_) {
        tried_ = true;
        using Entry = SoundPlayer* (*)();
        for (const QString& folder : folders_) {
            auto library = std::make_unique<QLibrary>(QDir(folder).filePath(QLatin1String(kSoundModule)));
            if (auto entry = reinterpret_cast<Entry>(library->resolve(kSoundModuleEntry))) {
                player_.reset(entry());
                library_ = std::move(library);
                break;
            }
        }
    }
    return player_ && player_->Play(volume);
}

} // namespace remindo
