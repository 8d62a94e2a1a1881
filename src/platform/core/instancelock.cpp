#include "platform/core/instancelock.h"

#include "platform/core/apppaths.h"
#include "store/settingsfile.h"

#include <QtGlobal>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace remindo {

LockFileInstance::LockFileInstance(std::string path) : path_(std::move(path)) {}

LockFileInstance::~LockFileInstance()
{
    Release();
}

std::string LockFileInstance::PathIn(const std::string& dataFolder)
{
    return dataFolder + "/Remindo.lock";
}

std::string LockFileInstance::ForUser()
{
    return PathIn(MakePaths(AppDataFolder()).settingsFolder);
}

bool LockFileInstance::Acquire()
{
    if (fd_ >= 0)
        return true;
    // Close-on-exec: a browser started for the help page must not keep the
    // lock after the program ends. No symlink is followed.
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    if (fd < 0) {
        // A lock that cannot be made at all (a folder we may not write in) is
        // no sign of another copy: better to run unguarded than never to start.
        qWarning("cannot create the lock file %s (%s); running without it", path_.c_str(), std::strerror(errno));
        return true;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid()) {
        // Planted by someone else in a folder open to others: holding it
        // would let them stop us at will.
        qWarning("the lock file %s belongs to another user; running without it", path_.c_str());
        ::close(fd);
        return true;
    }
    int r;
    do
        r = ::flock(fd, LOCK_EX | LOCK_NB);
    while (r != 0 && errno == EINTR);
    if (r == 0) {
        fd_ = fd;
        return true;
    }
    const int e = errno;
    ::close(fd);
    if (e == EWOULDBLOCK)
        return false; // another copy runs
    qWarning("cannot lock %s (%s); running without the lock", path_.c_str(), std::strerror(e));
    return true;
}

void LockFileInstance::Release()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

} // namespace remindo
