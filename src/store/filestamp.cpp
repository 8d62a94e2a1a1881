#include "store/filestamp.h"

#include "store/atomicfile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace remindo {
namespace {

FileStamp FromStat(const struct stat& st)
{
    // Only a regular file is a version of the list; whatever else stands
    // there makes the save itself fail.
    if (!S_ISREG(st.st_mode))
        return {};
    return FileStamp{true, uint64_t(st.st_dev), uint64_t(st.st_ino), int64_t(st.st_size),
                     int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::string Reason(int err) { return std::strerror(err); }

// The copies of one kind beside `path`, as (name, order) with the order
// from the date in the name and the number after it.
struct Copy {
    std::string path;
    std::string when; // YYYYMMDD-HHMMSS
    long number = 1;
};

std::vector<Copy> CopiesOf(const std::string& path, const std::string& infix)
{
    namespace fs = std::filesystem;
    std::vector<Copy> copies;
    const fs::path file(path);
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    const std::string prefix = file.filename().native() + infix;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().native();
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string rest = name.substr(prefix.size());
        // Only names of this form: a user's own files are left alone.
        if (rest.size() < 15 || rest[8] != '-' ||
            !std::all_of(rest.begin(), rest.begin() + 15, [](char c) { return c == '-' || (c >= '0' && c <= '9'); }))
            continue;
        Copy c{it->path().native(), rest.substr(0, 15), 1};
        if (rest.size() > 15) {
            char* end = nullptr;
            if (rest[15] != '-' || rest.size() > 21)
                continue;
            c.number = std::strtol(rest.c_str() + 16, &end, 10);
            if (*end != '\0' || c.number < 2)
                continue;
        }
        std::error_code typeError;
        if (it->is_regular_file(typeError) && !it->is_symlink(typeError))
            copies.push_back(std::move(c));
    }
    std::sort(copies.begin(), copies.end(), [](const Copy& a, const Copy& b) {
        return a.when != b.when ? a.when > b.when : a.number > b.number; // newest first
    });
    return copies;
}

// After a new copy stands complete: the oldest beyond the bound go, never
// the new one (which a clock set back may date before the others).
void RemoveOldCopies(const std::string& path, const std::string& infix, const std::string& made)
{
    int kept = 1;
    for (const Copy& c : CopiesOf(path, infix))
        if (c.path != made && ++kept > kKeptCopies)
            ::unlink(c.path.c_str());
}

// Tries `put(name)` with dated names until one is free; within one second
// the number goes on from the highest taken, so that names keep their order.
template <class Put>
std::string UnderFreeName(const std::string& path, const std::string& infix, std::string* why, Put put)
{
    const std::string when = LocalTimeStamp();
    const std::string base = path + infix + when;
    long n = 1;
    for (const Copy& c : CopiesOf(path, infix))
        if (c.when == when)
            n = std::max(n, c.number + 1);
    for (int tries = 0;; ++tries, ++n) {
        const std::string name = n == 1 ? base : base + "-" + std::to_string(n);
        std::string reason;
        if (put(name, reason)) {
            RemoveOldCopies(path, infix, name);
            return name;
        }
        if (reason != Reason(EEXIST) || n > 9999 || tries > 999) {
            if (why)
                *why = reason;
            return {};
        }
    }
}

} // namespace

FileStamp StampOf(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return {};
    return FromStat(st);
}

FileStamp StampOfOpen(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return {};
    return FromStat(st);
}

std::string KeepDatedCopy(const std::string& path, const std::string& infix, std::string* why, FileStamp* kept)
{
    std::string bytes, reason;
    size_t size = 0;
    // The stamp of what is read, from the same descriptor.
    const int fd = OpenForReading(path, size, &reason);
    FileStamp stamp;
    if (fd >= 0) {
        stamp = StampOfOpen(fd);
        bytes.resize(size);
        const long long got = ReadAndClose(fd, bytes.data(), size, &reason);
        if (got >= 0)
            bytes.resize(size_t(got));
        else
            stamp = {};
    }
    if (!stamp.exists) {
        if (why)
            *why = reason.empty() ? "cannot be read" : reason;
        return {};
    }
    if (kept)
        *kept = stamp;
    for (const Copy& c : CopiesOf(path, infix)) {
        std::string old;
        if (ReadWholeFile(c.path, old) && old == bytes)
            return c.path;
    }
    const unsigned mode = unsigned(FileMode(path));
    return UnderFreeName(path, infix, why, [&](const std::string& name, std::string& r) {
        return WriteNewFile(DefaultFileWriters(), name, bytes, mode, &r);
    });
}

std::string MoveToDatedName(const std::string& from, const std::string& path, const std::string& infix, std::string* why)
{
    return UnderFreeName(path, infix, why, [&](const std::string& name, std::string& r) {
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0)
            return true;
        if (errno == EINVAL || errno == ENOSYS) {
            // Without the flag: a hard link never replaces a name either.
            if (::link(from.c_str(), name.c_str()) == 0) {
                ::unlink(from.c_str());
                return true;
            }
        }
        r = Reason(errno);
        return false;
    });
}

} // namespace remindo
