#include "store/log.h"

#include "store/codec.h"

#include "store/atomicfile.h"
#include "store/formats.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace remindo {
namespace {

// `name` inside `folder`, the bytes of both kept as they are; an empty
// folder is the current one.
std::string InFolder(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return "./" + name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// A folder counts only when a file can really be made in it: its mode bits
// do not tell about a read-only mount or a full disk.
bool UsableFolder(const std::string& folder)
{
    if (!MakeFolders(folder))
        return false;
    std::string probe = InFolder(folder, "probe-XXXXXX");
    const int fd = ::mkostemp(probe.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

// Adds `bytes` at the end of the file, every byte checked; a write that
// fails part-way is cut off again, so the file keeps what it held. Not
// synced: a diagnostic log is not worth a disk sync at every flush.
bool AppendToFile(const std::string& path, std::string_view bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0600);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    bool ok = true;
    while (ok && !bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ok = false;
        else
            bytes.remove_prefix(size_t(n));
    }
    if (!ok)
        (void)!::ftruncate(fd, st.st_size);
    return ::close(fd) == 0 && ok;
}

// Writes `from`'s content and then `tail` in place of `path`, whole or not
// at all. A `from` that cannot be read gives only the tail.
bool ReplaceStartingFrom(FileWriterFactory& writers, const std::string& path, const std::string& from,
                         std::string_view tail)
{
    std::unique_ptr<FileWriter> w = writers.NewWriter();
    if (!w || !w->Open(path))
        return false;
    bool ok = true;
    if (!from.empty()) {
        const int fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        struct stat st {};
        if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
            std::string chunk(size_t(1) << 20, '\0');
            for (;;) {
                const ssize_t n = ::read(fd, chunk.data(), chunk.size());
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    break;
                if (!w->Write(std::string_view(chunk.data(), size_t(n)))) {
                    ok = false;
                    break;
                }
            }
        }
        if (fd >= 0)
            ::close(fd);
    }
    if (ok && w->Write(tail) && w->Commit())
        return true;
    w->Discard();
    return false;
}

} // namespace

DiagnosticLog::DiagnosticLog(const Date& dataAkt, const DateTime& passTime, const RegionalFormats& formats)
    : dataAkt_(dataAkt), passTime_(passTime), formats_(formats), writers_(&DefaultFileWriters())
{
}

void DiagnosticLog::SetWriters(FileWriterFactory* writers)
{
    writers_ = writers ? writers : &DefaultFileWriters();
}

void DiagnosticLog::WriteLog(std::string_view text)
{
    if (mode_ == 0)
        return;
    std::string line = formats_.ShortDate(dataAkt_);
    line += ' ';
    line += formats_.LongTime(passTime_);
    line += ' ';
    line += text;
    if (lines_.size() >= kMostWaitingLines) {
        // A log that cannot be written (a full disk) keeps only the newest
        // lines; the flush that works again says how many went.
        const size_t drop = kMostWaitingLines / 4;
        lines_.erase(lines_.begin(), lines_.begin() + std::ptrdiff_t(drop));
        dropped_ += drop;
    }
    lines_.push_back(std::move(line));
    allLinesValid_ = false;
}

const std::vector<std::string>& DiagnosticLog::Lines() const
{
    if (allLinesValid_)
        return allLines_;
    allLines_.clear();
    std::string written;
    if (!lastFile_.empty() && ReadWholeFile(lastFile_, written)) {
        size_t start = 0;
        for (size_t end; (end = written.find("\r\n", start)) != std::string::npos; start = end + 2)
            allLines_.push_back(written.substr(start, end - start));
    }
    allLines_.insert(allLines_.end(), lines_.begin(), lines_.end());
    allLinesValid_ = true;
    return allLines_;
}

std::string DiagnosticLog::FileNameFor(Date day)
{
    const Ymd d = YmdOf(day);
    return std::to_string(d.year) + std::to_string(d.month) + std::to_string(d.day) + ".txt";
}

void DiagnosticLog::FlushLog()
{
    if (mode_ != 1 && mode_ != 2)
        return;
    if (folder_.empty())
        return;
    size_t size = 0;
    for (const std::string& l : lines_)
        size += l.size() + 2;
    std::string added;
    added.reserve(size + 128);
    if (dropped_ > 0)
        added += formats_.ShortDate(dataAkt_) + ' ' + formats_.LongTime(passTime_) + ' ' +
                 Cp("Pominięto " + std::to_string(dropped_) + " wierszy dziennika, których nie dało się zapisać") +
                 "\r\n";
    for (const std::string& l : lines_) {
        added += l;
        added += "\r\n";
    }
    const std::string path = folder_ + "/" + FileNameFor(dataAkt_);
    // The day's file holds every line since start-up. Into the file of the
    // last flush only the new lines go; a file flushed into for the first
    // time starts with what the last one holds, and replaces any older file
    // of its name whole, so that a failure leaves that file as it was.
    const bool written = path == lastFile_ ? AppendToFile(path, added)
                                           : ReplaceStartingFrom(*writers_, path, lastFile_, added);
    if (!written)
        return; // the lines wait for the next flush
    lastFile_ = path;
    dropped_ = 0;
    lines_.clear();
    allLinesValid_ = false;
    allLines_ = {};
    if (lines_.capacity() > 1024)
        lines_.shrink_to_fit();
}

std::string DiagnosticLog::PrepareLogFolder(const std::string& programFolder, const std::string& installedFolder,
                                            const std::string& stateFolder)
{
    // Ownership alone would let root write into /usr/bin.
    std::error_code ec;
    const bool installed = !installedFolder.empty() && std::filesystem::equivalent(programFolder, installedFolder, ec);
    struct stat st {};
    const bool own = !programFolder.empty() && ::stat(programFolder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
                     st.st_uid == ::geteuid();
    if (own && !installed) {
        const std::string beside = InFolder(programFolder, "Test");
        if (UsableFolder(beside))
            return beside;
    }
    const std::string state = InFolder(stateFolder, "Vendly/Remindo/Test");
    UsableFolder(state);
    return state;
}

} // namespace remindo
