#include "store/atomicfile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace remindo {
namespace {

constexpr unsigned kNewFileMode = 0600;

// A new file's name until it takes its place: the target's name, this mark
// and six random letters or digits.
constexpr std::string_view kTemporaryMark = ".tmp-";

std::string Reason(int err) { return std::strerror(err); }

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A rename is only durable once the folder that holds the name is synced.
void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// What a file that is not a regular one is, in words.
std::string NotRegular(mode_t mode)
{
    if (S_ISDIR(mode))
        return Reason(EISDIR);
    if (S_ISFIFO(mode))
        return "a FIFO, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device, not a regular file";
    if (S_ISSOCK(mode))
        return "a socket, not a regular file";
    return "not a regular file";
}

// Rounds of look, keep, look again before a file that never stops
// changing makes the save give up.
constexpr int kMostLooks = 20;

} // namespace

struct SafeFileWriter::Impl {
    bool sync = true;
    bool noReplace = false;
    int mode = -1; // -1: the old file's, or kNewFileMode
    int fd = -1;
    std::string target; // where the file ends up
    std::string temp;   // the new file's name until the rename
    std::string error;
    ReplaceCheck* check = nullptr;
    FileStamp written;
    std::function<void(std::string_view)> hook;
    void Step(std::string_view step)
    {
        if (hook)
            hook(step);
    }

    bool Fail(int err)
    {
        error = Reason(err);
        return false;
    }
    void Drop()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
        if (!temp.empty())
            ::unlink(temp.c_str());
        temp.clear();
    }
    bool Renamed(int err);
    bool ReplaceChecked();
};

bool SafeFileWriter::Impl::Renamed(int err)
{
    if (err != 0) {
        Drop();
        return Fail(err);
    }
    temp.clear();
    return true;
}

// The rename with the caller's version check made at the last moment. Where
// the file system can swap two names at once, the old file is swapped out
// rather than replaced, and looked at once more under the temporary name:
// a version that came in between the look and the swap is kept as well.
bool SafeFileWriter::Impl::ReplaceChecked()
{
    std::vector<FileStamp> known{check->expected};
    auto isKnown = [&](const FileStamp& s) {
        return !s.exists || std::find(known.begin(), known.end(), s) != known.end();
    };
    auto keepFailed = [&](const std::string& why) {
        check->refused = true;
        Drop();
        error = why;
        return false;
    };
    for (int look = 0; look < kMostLooks; ++look) {
        const FileStamp now = StampOf(target);
        if (!isKnown(now)) {
            std::string why;
            FileStamp kept;
            const std::string copy = KeepDatedCopy(target, check->infix, &why, &kept);
            if (copy.empty())
                return keepFailed(why);
            check->kept.push_back(copy);
            known.push_back(kept);
            continue; // it may have changed again while it was copied
        }
        Step("rename");
        const unsigned how = now.exists ? RENAME_EXCHANGE : RENAME_NOREPLACE;
        if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), how) != 0) {
            const int err = errno;
            if (err == EEXIST || (err == ENOENT && now.exists && StampOf(temp).exists))
                continue; // came or went since the look
            if (err != EINVAL && err != ENOSYS)
                return Renamed(err);
            // A file system without these: the look above was the last.
            return Renamed(::rename(temp.c_str(), target.c_str()) == 0 ? 0 : errno);
        }
        if (how == RENAME_EXCHANGE) {
            const FileStamp gone = StampOf(temp);
            if (!isKnown(gone)) {
                std::string why;
                const std::string kept = MoveToDatedName(temp, target, check->infix, &why);
                if (kept.empty()) {
                    // Back in its place, and this save fails; should even
                    // that fail, it stays where it is rather than be dropped.
                    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) != 0)
                        temp.clear();
                    return keepFailed(why);
                }
                check->kept.push_back(kept);
                temp.clear();
                return true;
            }
            ::unlink(temp.c_str());
        }
        temp.clear();
        return true;
    }
    return keepFailed("the file keeps changing");
}

SafeFileWriter::SafeFileWriter(bool sync) : impl_(std::make_unique<Impl>()) { impl_->sync = sync; }

SafeFileWriter::~SafeFileWriter() { Discard(); }

void SafeFileWriter::SetMode(unsigned mode) { impl_->mode = int(mode & 07777); }
void SafeFileWriter::SetNoReplace() { impl_->noReplace = true; }
std::string SafeFileWriter::Error() const { return impl_->error; }
void SafeFileWriter::SetReplaceCheck(ReplaceCheck* check) { impl_->check = check; }
FileStamp SafeFileWriter::Written() const { return impl_->written; }
void SafeFileWriter::SetStepHook(std::function<void(std::string_view)> hook) { impl_->hook = std::move(hook); }

bool SafeFileWriter::Open(const std::string& path)
{
    Impl& d = *impl_;
    Discard();
    d.error.clear();
    if (path.empty())
        return d.Fail(ENOENT);
    d.target = path;
    d.written = {};
    // A link is never followed: the new file takes the link's own place, so
    // a link planted by someone else cannot steer a save into another file.
    struct stat st {};
    unsigned mode = d.mode >= 0 ? unsigned(d.mode) : kNewFileMode;
    bool exists = false;
    if (::lstat(d.target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (d.noReplace)
            return d.Fail(EEXIST);
    } else if (::lstat(d.target.c_str(), &st) == 0) {
        exists = true;
        if (!S_ISREG(st.st_mode)) {
            d.error = NotRegular(st.st_mode);
            return false;
        }
        if (d.noReplace)
            return d.Fail(EEXIST);
        if (d.mode < 0)
            mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        return d.Fail(errno);
    }

    std::string temp = d.target + std::string(kTemporaryMark) + "XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return d.Fail(errno);
    d.fd = fd;
    d.temp = temp;
    if (::fchmod(fd, mode) != 0) {
        const int err = errno;
        d.Drop();
        return d.Fail(err);
    }
    // Root saving another user's file leaves it theirs.
    if (exists && ::geteuid() == 0 && (st.st_uid != 0 || st.st_gid != 0))
        (void)!::fchown(fd, st.st_uid, st.st_gid);
    return true;
}

bool SafeFileWriter::Write(std::string_view bytes)
{
    Impl& d = *impl_;
    if (d.fd < 0)
        return d.Fail(EBADF);
    while (!bytes.empty()) {
        const ssize_t n = ::write(d.fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return d.Fail(n < 0 ? errno : ENOSPC);
        bytes.remove_prefix(size_t(n));
    }
    return true;
}

bool SafeFileWriter::Commit()
{
    Impl& d = *impl_;
    if (d.fd < 0)
        return d.Fail(EBADF);
    // A file system that cannot sync answers EINVAL; anything else means the
    // bytes may not be on the disk.
    if (d.sync && ::fsync(d.fd) != 0 && errno != EINVAL) {
        const int err = errno;
        d.Drop();
        return d.Fail(err);
    }
    // Its stamp now: after the rename the name may already hold another.
    const FileStamp written = StampOfOpen(d.fd);
    d.Step("commit");
    const int fd = d.fd;
    d.fd = -1;
    if (::close(fd) != 0 && errno != EINTR) {
        const int err = errno;
        d.Drop();
        return d.Fail(err);
    }
    int renamed;
    if (d.check && !d.noReplace) {
        if (!d.ReplaceChecked())
            return false;
        renamed = 0;
    } else if (d.noReplace) {
        renamed = ::renameat2(AT_FDCWD, d.temp.c_str(), AT_FDCWD, d.target.c_str(), RENAME_NOREPLACE);
        if (renamed != 0 && (errno == EINVAL || errno == ENOSYS)) {
            // Without the flag: a hard link never replaces a name either.
            renamed = ::link(d.temp.c_str(), d.target.c_str());
            if (renamed == 0)
                ::unlink(d.temp.c_str());
        }
    } else {
        d.Step("rename");
        renamed = ::rename(d.temp.c_str(), d.target.c_str());
    }
    if (renamed != 0) {
        const int err = errno;
        d.Drop();
        return d.Fail(err);
    }
    d.temp.clear();
    d.written = written;
    d.Step("renamed");
    // A failed folder sync cannot be undone and leaves the new file in place;
    // it only weakens what a power cut right now would keep.
    if (d.sync)
        SyncFolder(FolderOf(d.target));
    return true;
}

void SafeFileWriter::Discard() { impl_->Drop(); }

FileWriterFactory& DefaultFileWriters()
{
    static SafeFileWriterFactory factory;
    return factory;
}

namespace {

bool WriteThrough(FileWriter& w, const std::string& path, std::string_view bytes, std::string* why,
                  FileStamp* written = nullptr)
{
    if (w.Open(path) && w.Write(bytes) && w.Commit()) {
        if (written)
            *written = w.Written();
        return true;
    }
    if (why) {
        *why = w.Error();
        if (why->empty())
            *why = "cannot be written";
    }
    w.Discard();
    return false;
}

} // namespace

bool ReplaceFile(FileWriterFactory& writers, const std::string& path, std::string_view bytes, std::string* why,
                 ReplaceCheck* check, FileStamp* written)
{
    std::unique_ptr<FileWriter> w = writers.NewWriter();
    if (!w) {
        if (why)
            *why = "cannot be written";
        return false;
    }
    if (check)
        w->SetReplaceCheck(check);
    return WriteThrough(*w, path, bytes, why, written);
}

bool WriteNewFile(FileWriterFactory& writers, const std::string& path, std::string_view bytes, unsigned mode,
                  std::string* why)
{
    std::unique_ptr<FileWriter> w = writers.NewWriter();
    if (!w) {
        if (why)
            *why = "cannot be written";
        return false;
    }
    w->SetMode(mode);
    w->SetNoReplace();
    return WriteThrough(*w, path, bytes, why);
}

namespace {

int OpenRegular(const std::string& path, size_t& size, size_t limit, std::string* why)
{
    auto fail = [&](std::string reason) {
        if (why)
            *why = std::move(reason);
        return -1;
    };
    // Not blocking: a FIFO without a writer must not hang the caller.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return fail(Reason(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return fail(Reason(err));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(NotRegular(st.st_mode));
    }
    if (uint64_t(st.st_size) > limit) {
        ::close(fd);
        return fail("larger than " + std::to_string(kMaxReadSize >> 20) + " MiB");
    }
    size = size_t(st.st_size);
    return fd;
}

} // namespace

int OpenForReading(const std::string& path, size_t& size, std::string* why)
{
    return OpenRegular(path, size, kMaxReadSize, why);
}

bool ReadFileStart(const std::string& path, size_t most, std::string& out, std::string* why)
{
    size_t size = 0;
    const int fd = OpenRegular(path, size, SIZE_MAX, why);
    if (fd < 0)
        return false;
    out.resize(std::min(size, most));
    const long long got = ReadAndClose(fd, out.data(), out.size(), why);
    out.resize(got < 0 ? 0 : size_t(got));
    return got >= 0;
}

long long ReadAndClose(int fd, char* buffer, size_t size, std::string* why)
{
    size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, buffer + got, size - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            if (why)
                *why = Reason(err);
            return -1;
        }
        if (n == 0)
            break; // cut short since the size was taken
        got += size_t(n);
    }
    ::close(fd);
    return (long long)got;
}

bool ReadWholeFile(const std::string& path, std::string& out, std::string* why)
{
    size_t size = 0;
    const int fd = OpenForReading(path, size, why);
    if (fd < 0)
        return false;
    out.resize(size);
    const long long got = ReadAndClose(fd, out.data(), size, why);
    if (got < 0) {
        out.clear();
        return false;
    }
    out.resize(size_t(got));
    return true;
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string FollowOwnLink(const std::string& path)
{
    const uid_t me = ::geteuid();
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode) || st.st_uid != me)
        return path;
    // Only the user can have put it into a folder nobody else may enter.
    struct stat folder {};
    if (::stat(FolderOf(path).c_str(), &folder) != 0 || folder.st_uid != me || (folder.st_mode & 077) != 0)
        return path;
    std::string at = path;
    for (int hop = 0; hop < 40; ++hop) {
        char to[PATH_MAX];
        const ssize_t n = ::readlink(at.c_str(), to, sizeof to);
        if (n <= 0 || size_t(n) >= sizeof to)
            return path;
        const std::string next(to, size_t(n));
        at = next[0] == '/' ? next : FolderOf(at) + "/" + next;
        if (::lstat(at.c_str(), &st) != 0)
            return errno == ENOENT ? at : path; // a save makes it
        // A link of someone else's further on is not followed; it is what a
        // save replaces.
        if (!S_ISLNK(st.st_mode) || st.st_uid != me)
            return at;
    }
    return path; // a loop
}

unsigned FileMode(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? unsigned(st.st_mode & 07777) : kNewFileMode;
}

bool MakeFolders(const std::string& path)
{
    // Whatever the umask: another user must not place files (or links) here.
    std::error_code ec;
    const std::filesystem::path folder(path);
    std::filesystem::path made;
    for (const auto& part : folder) {
        made /= part;
        if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return std::filesystem::is_directory(path, ec);
}

size_t RemoveLeftoverTemporaries(const std::string& folder)
{
    auto randomTail = [](std::string_view name, size_t at) {
        return name.size() == at + 6 &&
               std::all_of(name.begin() + std::ptrdiff_t(at), name.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
    };
    size_t removed = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().native();
        if (name.rfind("Dane.dat", 0) != 0 && name.rfind("Remindo.ini", 0) != 0)
            continue;
        // Earlier versions named them Dane.dat.XXXXXX, as a user's own copy
        // ("Dane.dat.backup") may be named: those are left alone.
        const size_t mark = name.rfind(kTemporaryMark);
        const bool ours = mark != std::string::npos && randomTail(name, mark + kTemporaryMark.size());
        const std::string path = it->path().native();
        struct stat st {};
        if (ours && ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::unlink(path.c_str()) == 0)
            ++removed;
    }
    return removed;
}

std::string LocalTimeStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    char buf[32] = {};
    if (!::localtime_r(&now, &local) || std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &local) == 0)
        return "00000000-000000";
    return buf;
}

} // namespace remindo
