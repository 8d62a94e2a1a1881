#include "store/filestamp.h"

#include "store/atomicfile.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace remindo {

FileStamp StampOf(const std::string& path)
{
    struct stat st {};
    // Only a regular file is a version of the list; whatever else stands
    // there makes the save itself fail.
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return FileStamp{true, uint64_t(st.st_dev), uint64_t(st.st_ino), int64_t(st.st_size),
                     int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::string KeepDatedCopy(const std::string& path, const std::string& infix, std::string* why)
{
    std::string bytes, reason;
    if (!ReadWholeFile(path, bytes, &reason)) {
        if (why)
            *why = reason;
        return {};
    }
    const std::string base = path + infix + LocalTimeStamp();
    std::string name = base;
    for (int n = 2;; ++n) {
        if (WriteNewFile(DefaultFileWriters(), name, bytes, FileMode(path), &reason))
            return name;
        if (reason != std::strerror(EEXIST) || n > 999) {
            if (why)
                *why = reason;
            return {};
        }
        name = base + "-" + std::to_string(n);
    }
}

} // namespace remindo
