#pragma once
// Replacing a file so that a failure or a crash at any moment leaves either
// the old file or the complete new one, never a part of either.

#include "store/filestamp.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace remindo {

// What a replacement looks at right before its rename. The file it may
// replace is to be the version the caller last read or wrote (`expected`);
// anything else standing there, which the caller has never read, is first
// kept beside it as a dated copy (KeepDatedCopy with `infix`), and when no
// copy can be kept nothing is replaced.
struct ReplaceCheck {
    FileStamp expected;
    std::string infix;
    // The copies kept, and whether the replacement was given up for want of one.
    std::vector<std::string> kept;
    bool refused = false;
};

// One replacement of one file, step by step. The steps exist separately so
// that tests can make each of them fail.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // Starts a new file that will take the place of `path`; nothing at `path`
    // changes yet. `path` is in the local file-name encoding.
    virtual bool Open(const std::string& path) = 0;
    virtual bool Write(std::string_view bytes) = 0;
    // Puts the new file on the disk and then in place of the old one.
    virtual bool Commit() = 0;
    // Drops a file that was opened and not committed; harmless otherwise.
    virtual void Discard() = 0;

    // Before Open: the permission bits of the new file. Without it the file
    // keeps those of the file it replaces, or is 0600 when there is none.
    virtual void SetMode(unsigned mode) { (void)mode; }
    // Before Open: the file is a copy that must never take the place of an
    // existing file; Commit fails when the name is taken.
    virtual void SetNoReplace() {}
    // The system's reason for the last failure, in words; empty when unknown.
    virtual std::string Error() const { return {}; }
    // Before Commit: the check to make right before the rename (the caller
    // keeps it alive until Commit has returned).
    virtual void SetReplaceCheck(ReplaceCheck* check) { (void)check; }
    // After a Commit: the new file as it now stands at the path, stamped from
    // its own descriptor before the rename, so that a file another program
    // renames in right after is never taken for it.
    virtual FileStamp Written() const { return {}; }
};

// The real writer: the new file is written under a temporary name beside the
// old one, every write and the final sync checked, renamed over the old
// file, and the folder synced so that the rename itself survives a power
// cut. Only a regular file is ever replaced; a link is replaced itself,
// never the file it names (callers that mean to follow one hand in the path
// of FollowOwnLink).
class SafeFileWriter final : public FileWriter {
public:
    // `sync` false leaves out the disk syncs (benchmarks and scratch files).
    explicit SafeFileWriter(bool sync = true);
    ~SafeFileWriter() override;
    bool Open(const std::string& path) override;
    bool Write(std::string_view bytes) override;
    bool Commit() override;
    void Discard() override;
    void SetMode(unsigned mode) override;
    void SetNoReplace() override;
    std::string Error() const override;
    void SetReplaceCheck(ReplaceCheck* check) override;
    FileStamp Written() const override;
    // Tests: called at the steps of Commit that another program may race:
    // "commit" (the new file complete), "rename" (between the last look at
    // the old file and the rename), "renamed" (before Commit returns).
    void SetStepHook(std::function<void(std::string_view step)> hook);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Makes a writer for one replacement. The store's files take one of these so
// that tests can hand in writers that fail.
class FileWriterFactory {
public:
    virtual ~FileWriterFactory() = default;
    virtual std::unique_ptr<FileWriter> NewWriter() = 0;
};

class SafeFileWriterFactory final : public FileWriterFactory {
public:
    explicit SafeFileWriterFactory(bool sync = true) : sync_(sync) {}
    std::unique_ptr<FileWriter> NewWriter() override { return std::make_unique<SafeFileWriter>(sync_); }

private:
    bool sync_;
};

// The factory used when none is given.
FileWriterFactory& DefaultFileWriters();

// Open, Write, Commit; on any failure the writer is discarded and the answer
// is false, with the system's reason in `why` when given. With `check`, the
// file replaced is looked at right before the rename (see ReplaceCheck);
// `written` receives the new file's stamp.
bool ReplaceFile(FileWriterFactory& writers, const std::string& path, std::string_view bytes,
                 std::string* why = nullptr, ReplaceCheck* check = nullptr, FileStamp* written = nullptr);

// A new file that never replaces anything: a copy with the given permission
// bits. False when the name is taken or the file cannot be written.
bool WriteNewFile(FileWriterFactory& writers, const std::string& path, std::string_view bytes, unsigned mode,
                  std::string* why = nullptr);

// The largest file the store reads. Its own files are far smaller; anything
// larger is not one of them.
inline constexpr size_t kMaxReadSize = size_t(64) << 20;

// The whole content of a regular file of at most kMaxReadSize bytes, read
// with one read into one buffer; false when it cannot be read, with the
// reason in `why`. A FIFO or a device is refused without blocking.
bool ReadWholeFile(const std::string& path, std::string& out, std::string* why = nullptr);

// The same in two steps, for callers that bring their own buffer: opens the
// file (answering its size) or answers -1 with the reason; then reads it,
// closes it and answers the number of bytes read, or -1.
int OpenForReading(const std::string& path, size_t& size, std::string* why = nullptr);
// At most the first `most` bytes of a regular file, whatever its size.
bool ReadFileStart(const std::string& path, size_t most, std::string& out, std::string* why = nullptr);
long long ReadAndClose(int fd, char* buffer, size_t size, std::string* why = nullptr);
bool FileExists(const std::string& path);
// Where the program's file at `path` really lies. A link that the user owns,
// standing in a folder of the user's own that nobody else may enter (0700),
// was put there by the user, to keep the file in a synced folder say: it is
// followed (through further links of the user's own) to the file it names,
// which is then read, watched and replaced, while the link stays. Anything
// else answers `path` itself, and a save replaces whatever link stands there.
std::string FollowOwnLink(const std::string& path);
// The permission bits of an existing file; 0600 when it cannot be asked.
unsigned FileMode(const std::string& path);

// Makes the folder and every missing folder above it, each open to its
// owner alone; true when it is there as a folder afterwards. Never throws.
bool MakeFolders(const std::string& path);
// Removes from `folder` the new files that a process killed during a save
// left under their temporary names (this user's regular files only); for
// start-up, while no other copy can be saving. Answers how many went.
size_t RemoveLeftoverTemporaries(const std::string& folder);
// The local time now as YYYYMMDD-HHMMSS, for the names of kept copies.
std::string LocalTimeStamp();

} // namespace remindo
