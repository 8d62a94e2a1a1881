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
    if (lock_->tryLock(0))
        return true;
    if (lock_->error() == QLockFile::LockFailedError)
        return false; // another copy runs
    // A lock that cannot be made at all (a folder we may not write in) is
    // no sign of another copy: better to run unguarded than never to start.
    qWarning("cannot create the lock file %s; running without it", qUtf8Printable(path_));
    return true;
}

} // namespace remindo
