#include "platform/core/instancelock.h"

#include "platform/core/apppaths.h"
#include "store/settingsfile.h"

#include <QtGlobal>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

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

namespace {

// A few rounds are enough for a file that a sync tool or a deleting hand
// changes now and then; a path that changes without end is no lock at all.
constexpr int kLockAttempts = 5;

// 0, or why the lock was not taken.
int LockNow(int fd)
{
    int r;
    do
        r = ::flock(fd, LOCK_EX | LOCK_NB);
    while (r != 0 && errno == EINTR);
    return r == 0 ? 0 : errno;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Whether a process of this user holds a lock on the folder `st`. Anyone
// who may read a folder may lock it; /proc/locks names the holders. The
// inode alone is compared: the device there is the file system's, which a
// btrfs subvolume's stat() does not give.
bool HeldByOurUser(const struct stat& st)
{
    std::FILE* f = std::fopen("/proc/locks", "re");
    if (!f)
        return false;
    bool ours = false;
    char line[256];
    while (!ours && std::fgets(line, sizeof line, f)) {
        char type[16] = {};
        int pid = 0;
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        // "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF"; a waiter's line has "->"
        if (std::sscanf(line, "%*d: %15s %*s %*s %d %x:%x:%llu", type, &pid, &major, &minor, &inode) != 5 ||
            std::strcmp(type, "FLOCK") != 0 || inode != st.st_ino || pid <= 0)
            continue;
        struct stat holder {};
        ours = ::stat(("/proc/" + std::to_string(pid)).c_str(), &holder) == 0 && holder.st_uid == ::geteuid();
    }
    std::fclose(f);
    return ours;
}

} // namespace

bool LockFileInstance::LockFolder()
{
    // The folder may be a link of the user's own (to a synced folder, say).
    const int fd = ::open(FolderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return true; // the lock file's own opening says what is wrong
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid()) {
        ::close(fd);
        return true;
    }
    const int e = LockNow(fd);
    if (e == 0) {
        folderFd_ = fd;
        return true;
    }
    ::close(fd);
    // Held by another user, who could read the folder: not a copy of ours,
    // and the lock file decides alone.
    return !(e == EWOULDBLOCK && HeldByOurUser(st));
}

bool LockFileInstance::Acquire()
{
    if (fd_ >= 0)
        return true;
    if (folderFd_ < 0 && !LockFolder())
        return false; // another copy runs, its lock file deleted or not
    for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
        // Close-on-exec: a browser started for the help page must not keep
        // the lock after the program ends. No symlink is followed.
        const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
        if (fd < 0) {
            // A lock that cannot be made at all (a folder we may not write
            // in) is no sign of another copy: better to run unguarded than
            // never to start.
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
        if (beforeLocking_)
            beforeLocking_();
        const int e = LockNow(fd);
        if (e != 0) {
            ::close(fd);
            if (e == EWOULDBLOCK) {
                Release();
                return false; // another copy runs
            }
            qWarning("cannot lock %s (%s); running without the lock", path_.c_str(), std::strerror(e));
            return true;
        }
        // A file that left the path meanwhile would be a lock no later
        // start finds: only the one at the path counts.
        struct stat now {};
        if (::lstat(path_.c_str(), &now) == 0 && now.st_dev == st.st_dev && now.st_ino == st.st_ino) {
            fd_ = fd;
            return true;
        }
        ::close(fd);
    }
    qWarning("the lock file %s keeps changing; running without it", path_.c_str());
    return true;
}

void LockFileInstance::Release()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (folderFd_ >= 0) {
        ::close(folderFd_);
        folderFd_ = -1;
    }
}

} // namespace remindo
