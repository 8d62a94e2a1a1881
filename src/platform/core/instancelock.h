#pragma once
// One running copy per user: a lock that the system frees when its holder
// dies, so that a start after a crash or a kill goes on at once.

#include <QString>

#include <memory>

class QLockFile;

namespace remindo {

class InstanceLock {
public:
    virtual ~InstanceLock() = default;
    // True when this process now holds the lock (or already did). A lock
    // left behind by a process that no longer runs counts as free.
    virtual bool Acquire() = 0;
};

// A lock file in $XDG_RUNTIME_DIR, or in the temporary folder when that is
// unset, named for the user. A refused attempt writes nothing.
class LockFileInstance final : public InstanceLock {
public:
    explicit LockFileInstance(QString path = DefaultPath());
    ~LockFileInstance() override;
    bool Acquire() override;
    const QString& Path() const { return path_; }

    static QString DefaultPath();

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace remindo
