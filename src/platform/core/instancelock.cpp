#include "platform/core/instancelock.h"

#include <QDir>
#include <QLockFile>

#include <unistd.h>

namespace remindo {

LockFileInstance::LockFileInstance(QString path) : path_(std::move(path)) {}

LockFileInstance::~LockFileInstance() = default;

QString LockFileInstance::DefaultPath()
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::tempPath();
    // The temporary folder is shared by every user of the machine.
    return QDir(folder).filePath(QStringLiteral("Remindo-%1.lock").arg(getuid()));
}

bool LockFileInstance::Acquire()
{
    if (lock_ && lock_->isLocked())
        return true;
    lock_ = std::make_unique<QLockFile>(path_);
    // Only a holder that no longer runs makes the lock stale, never its age:
    // the running copy holds it for days.
    lock_->setStaleLockTime(0);
    return lock_->tryLock(0);
}

} // namespace remindo
