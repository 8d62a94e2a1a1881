#pragma once
// One running copy per user: a lock that the system frees when its holder
// dies, so that a start after a crash or a kill goes on at once.

#include <functional>
#include <string>

namespace remindo {

class InstanceLock {
public:
    virtual ~InstanceLock() = default;
    // True when this process now holds the lock (or already did), false
    // when another running process holds it. A lock left behind by a process
    // that no longer runs counts as free.
    virtual bool Acquire() = 0;
};

// The lock file lies in the data folder, beside the data it guards: only
// the user may write there, and every start finds it whatever the session's
// environment says. It is held with flock(), which the kernel drops when
// the holder ends; the file's content means nothing, so a file copied by a
// sync tool or left by a crash never stops a start. A lock file that
// belongs to another user is not ours to obey. A refused attempt writes
// nothing.
//
// The lock held is always the one on the file at the path: a file deleted
// or replaced between its opening and its locking is let go and the one
// now there taken instead. A lock file deleted while a copy runs would still
// let a second copy in, so the copy also locks the data folder itself, which
// no deletion of a file takes away. Anyone who may read a folder may lock
// it, so only a folder lock held by a process of the user's own counts.
class LockFileInstance final : public InstanceLock {
public:
    // `path` in the local file-name encoding; its folder must exist.
    explicit LockFileInstance(std::string path);
    ~LockFileInstance() override;
    LockFileInstance(const LockFileInstance&) = delete;
    LockFileInstance& operator=(const LockFileInstance&) = delete;

    bool Acquire() override;
    // Lets go, for a copy that ends its work early (a request handed on).
    void Release();
    const std::string& Path() const { return path_; }

    // The lock's place in a data folder, and in the user's own.
    static std::string PathIn(const std::string& dataFolder);
    static std::string ForUser();

    // For tests: runs after each opening of the lock file, before its lock.
    void SetBeforeLocking(std::function<void()> f) { beforeLocking_ = std::move(f); }

private:
    bool LockFolder();

    std::string path_;
    int fd_ = -1;
    int folderFd_ = -1;
    std::function<void()> beforeLocking_;
};

} // namespace remindo
