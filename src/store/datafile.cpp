#include "store/datafile.h"

#include "store/atomicfile.h"
#include "store/codec.h"
#include "store/datavalues.h"
#include "store/fixedformats.h"
#include "store/formats.h"
#include "store/messages.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace remindo {
namespace {

constexpr std::string_view kMissingMessage = "Plik danych nie istnieje.\rUtwórz nowy plik.";
constexpr std::string_view kDamagedMessage = "Plik danych jest uszkodzony.\rUtwórz nowy plik.";
constexpr std::string_view kSaveFailedMessage =
    "Problemy z zapisaniem pliku danych.\rCzy masz należyte uprawnienia?";

// A file whose bytes could not be read (no permission, too large, a read
// error) and of which no copy could be kept: replacing it would lose them.
constexpr std::string_view kUnreadableMessage = "Nie można odczytać pliku danych:\r";
constexpr std::string_view kUnreadableTail = "\rProgram nie zapisze niczego w jego miejscu.";
// What the readers refuse, no save writes.
constexpr std::string_view kTooLargeMessage =
    "Lista jest za duża, aby ją zapisać:\rplik danych przekroczyłby 64 MiB.";

// Beside the file, before anything can overwrite it.
constexpr const char* kDamagedSuffix = ".uszkodzony-";

} // namespace

DataFile::DataFile(std::string path, Messages& messages, const RegionalFormats& formats, Scrambler& scrambler)
    : path_(std::move(path)), messages_(messages), formats_(formats), scrambler_(scrambler),
      writers_(&DefaultFileWriters())
{
}

DataFile::~DataFile() = default;

std::string DataFile::Target() const { return FollowOwnLink(path_); }

void DataFile::SetWriters(FileWriterFactory* writers) { writers_ = writers ? writers : &DefaultFileWriters(); }

std::optional<Date> DataFile::ParseDate(std::string_view text) const
{
    // The fixed forms first: they are what the program writes, and the
    // regional reader is slow. A text that reads in neither goes to it.
    if (auto d = ParseWrittenDate(text))
        return d;
    if (auto d = ParseIsoDate(text))
        return d;
    static const FixedFormats polish;
    if (auto d = polish.ParseShortDate(text))
        return d;
    return formats_.ParseShortDate(text);
}

int DataFile::ParseDocument(std::string_view bytes, Komunikaty& list)
{
    std::string copy(bytes);
    return ParseDocument(copy, list);
}

int DataFile::ParseDocument(std::string& bytes, Komunikaty& list) { return ParseInPlace(bytes.data(), bytes.size(), list); }

int DataFile::ParseDocumentByTree(std::string& bytes, Komunikaty& list)
{
    lastError_.clear();
    readInPlace_ = false;
    return ParseTree(bytes.data(), bytes.size(), list);
}

std::string DamagedMessage(const std::string& copyPath)
{
    std::string text(kDamagedMessage);
    // The user is told where the damaged list still lies.
    if (!copyPath.empty())
        text += "\rKopia: " + std::filesystem::path(copyPath).filename().string();
    return text;
}

int DataFile::LoadDataFile(Komunikaty& list)
{
    damagedCopy_.clear();
    lastError_.clear();
    if (!FileExists(path_)) {
        unreadable_.clear();
        messages_.ShowWarning(kInformationBox, kIconInfo, kMissingMessage);
        return kMissing;
    }
    bool read = false, empty = true;
    const int result = ReadDataFile(list, read, empty);
    unreadable_.clear();
    if (result == kDamagedHeader || result == kDamagedReminder) {
        // The parse used up the bytes; the copy is read again. An empty file
        // holds nothing to recover.
        std::string bytes;
        if (read && !empty && ReadWholeFile(Target(), bytes))
            KeepDamagedCopy(bytes);
        if ((!read || !empty) && damagedCopy_.empty()) {
            // Nothing of it is safe elsewhere: it stays as it is.
            unreadable_ = lastError_.empty() ? "cannot be read" : lastError_;
            messages_.ShowWarning(kInformationBox, kIconInfo, UnreadableMessage());
        } else {
            messages_.ShowWarning(kInformationBox, kIconInfo, DamagedMessage(damagedCopy_));
        }
    }
    return result;
}

std::string DataFile::UnreadableMessage() const
{
    return std::string(kUnreadableMessage) + Cp1250FromUtf8(path_).text + std::string(kUnreadableTail);
}

int DataFile::ReadDataFile(Komunikaty& list)
{
    bool read = false, empty = true;
    return ReadDataFile(list, read, empty);
}

int DataFile::OpenDataFile(size_t& size)
{
    lastError_.clear();
    return OpenForReading(Target(), size, &lastError_);
}

int DataFile::ReadDataFile(Komunikaty& list, bool& read, bool& empty)
{
    size_t size = 0;
    const int fd = OpenDataFile(size);
    if (fd < 0)
        return kDamagedHeader;
    // One read into the buffer of the last load: a reload finds its pages
    // in place. The parse works in it.
    if (bytes_.size() < size)
        bytes_.resize(size);
    std::string why;
    const long long got = ReadAndClose(fd, bytes_.data(), size, &why);
    if (got < 0) {
        lastError_ = why;
        return kDamagedHeader;
    }
    read = true;
    empty = got == 0;
    return ParseInPlace(bytes_.data(), size_t(got), list);
}

bool DataFile::SaveDataFile(const Komunikaty& list)
{
    return Save(list, nullptr);
}

bool DataFile::SaveDataFile(const Komunikaty& list, ReplaceCheck& check)
{
    return Save(list, &check);
}

bool DataFile::Save(const Komunikaty& list, ReplaceCheck* check)
{
    lastError_.clear();
    const std::string target = Target();
    if (!unreadable_.empty() && FileExists(target)) {
        lastError_ = "the file could not be read (" + unreadable_ + "), so it is not replaced";
        messages_.ShowWarning(kInformationBox, kIconInfo, UnreadableMessage());
        return false;
    }
    const std::string document = BuildDocument(list);
    if (document.size() > kMaxReadSize) {
        lastError_ = "the file would be larger than " + std::to_string(kMaxReadSize >> 20) + " MiB, more than is read back";
        messages_.ShowWarning(kInformationBox, kIconInfo, kTooLargeMessage);
        return false;
    }
    FileStamp written;
    if (ReplaceFile(*writers_, target, document, &lastError_, check, &written)) {
        written_ = written;
        unreadable_.clear();
        return true;
    }
    if (!check || !check->refused)
        messages_.ShowWarning(kInformationBox, kIconInfo, kSaveFailedMessage);
    return false;
}

void DataFile::KeepDamagedCopy(const std::string& bytes)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path file = fs::absolute(fs::path(Target()), ec).lexically_normal();
    if (ec || !file.has_filename())
        return;
    const std::string folder = file.parent_path().native();
    const std::string prefix = file.filename().native() + kDamagedSuffix;
    auto inFolder = [&](const std::string& name) { return folder.back() == '/' ? folder + name : folder + "/" + name; };

    // A damaged file that stays damaged is loaded again at every cancel of
    // the list window; one copy of the same bytes is enough.
    std::vector<std::string> existing;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().native();
        std::error_code typeError;
        if (name.compare(0, prefix.size(), prefix) == 0 && it->is_regular_file(typeError))
            existing.push_back(name);
    }
    std::sort(existing.begin(), existing.end());
    for (const std::string& name : existing) {
        std::string old;
        const std::string oldPath = inFolder(name);
        if (ReadWholeFile(oldPath, old) && old == bytes) {
            damagedCopy_ = oldPath;
            return;
        }
    }
    const std::string stamp = LocalTimeStamp();
    std::string name = prefix + stamp;
    auto taken = [&](const std::string& n) { return fs::exists(fs::symlink_status(inFolder(n), ec)); };
    for (int n = 2; taken(name) && n < 1000; ++n)
        name = prefix + stamp + "-" + std::to_string(n);
    const std::string copyPath = inFolder(name);
    // The copy is as private as the file it copies.
    if (WriteNewFile(*writers_, copyPath, bytes, FileMode(file.native())))
        damagedCopy_ = copyPath;
}

} // namespace remindo
