#pragma once
// Telling one version of a file from another without reading it, and
// keeping a version aside. Another program may replace the data file (by
// rename, as editors, sync tools and remindo-data do) or rewrite it in
// place; either changes what is stamped here.

#include <cstdint>
#include <string>

namespace remindo {

struct FileStamp {
    bool exists = false;
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

// The file at `path` as it stands now (no symlink followed); `exists` false
// when no regular file is there.
FileStamp StampOf(const std::string& path);
// The same for a file open as `fd`.
FileStamp StampOfOpen(int fd);

// How a running copy answers a request to read the data file again
// (remindo-data asks it over the session bus after a write).
enum class ReloadAnswer : int {
    Reloaded = 0,  // the file had changed and its list is shown now
    Unchanged = 1, // the copy already holds what the file holds
    Pending = 2,   // unsaved edits: the file's version is kept aside at their save
    OtherFile = 3, // the copy works on another data file
};

// How many dated copies of one file, of one kind, are kept: the newest.
inline constexpr int kKeptCopies = 10;

// A copy of the file at `path`, named `path` + `infix` + the local time
// (YYYYMMDD-HHMMSS, then -2, -3... when taken), with the file's own
// permission bits; never over an existing file. A copy of the same kind
// that already holds the same bytes serves instead of a new one. Once the
// new copy stands complete, copies of that kind beyond the newest
// kKeptCopies are removed. Answers the copy's name, or empty with the
// reason in `why`; `kept` receives the stamp of the version copied.
std::string KeepDatedCopy(const std::string& path, const std::string& infix, std::string* why = nullptr,
                          FileStamp* kept = nullptr);
// The file at `from` itself (beside `path`) takes such a name, as a copy of
// `path`. Answers the name, or empty with the reason.
std::string MoveToDatedName(const std::string& from, const std::string& path, const std::string& infix,
                            std::string* why = nullptr);

} // namespace remindo
