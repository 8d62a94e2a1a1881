#pragma once
// The data file: the whole reminder list as a small XML document whose
// values are scrambled while the document's switch is on.

#include "store/filestamp.h"
#include "store/reminders.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace remindo {

class FileWriterFactory;
class Messages;
struct ReplaceCheck;
class RegionalFormats;
class Scrambler;

enum LoadResult : int {
    kLoaded = 0,
    kDamagedHeader = 1,   // `Code` or `Ilosc` unreadable: the list is untouched
    kDamagedReminder = 2, // a reminder unreadable: the list is emptied
    kMissing = 3,         // no file: the list is untouched
};

// The damaged-file message, naming the copy kept beside the file (if any).
std::string DamagedMessage(const std::string& copyPath);

class DataFile {
public:
    // `path` is in the local file-name encoding.
    DataFile(std::string path, Messages& messages, const RegionalFormats& formats, Scrambler& scrambler);
    ~DataFile();

    // Replaces the list with the file's reminders (0..3, see LoadResult).
    // Records at indices that existed before keep their working fields.
    int LoadDataFile(Komunikaty& list);
    // Writes the whole list; false (after the message) when the file could
    // not be replaced, in which case the old file is untouched. A file that
    // the last load could not read, and of which it kept no copy, is never
    // replaced (until it is gone); nor is a list written that would make a
    // file larger than the readers take.
    bool SaveDataFile(const Komunikaty& list);
    // The same with the caller's version check made right before the rename
    // (see ReplaceCheck). When the check gives up for want of a copy, no
    // message is shown here: the caller says why.
    bool SaveDataFile(const Komunikaty& list, ReplaceCheck& check);
    // The file the last successful save wrote, as it stood when it took its
    // place.
    const FileStamp& Written() const { return written_; }

    // The data-file switch: values are scrambled while it is on.
    bool Switch = true;

    const std::string& Path() const { return path_; }
    // Where the file really lies: Path(), or the file that a link of the
    // user's own there names (FollowOwnLink). Loads, saves and copies go
    // there; the link stays.
    std::string Target() const;
    // Where the last load that found the file damaged kept a copy of it;
    // empty when that load made none.
    const std::string& DamagedCopy() const { return damagedCopy_; }
    // Why the last save, read or parse of the file failed, in words: the
    // system's reason, or the reminder that could not be read.
    const std::string& LastError() const { return lastError_; }
    // Tests hand in writers that fail; null restores the real one.
    void SetWriters(FileWriterFactory* writers);

    // The document exactly as SaveDataFile writes it.
    std::string BuildDocument(const Komunikaty& list);
    // The load on a document already in memory; no message, no copy. The
    // first form parses in place and leaves `bytes` used up.
    int ParseDocument(std::string& bytes, Komunikaty& list);
    int ParseDocument(std::string_view bytes, Komunikaty& list);
    // The same load taken through the XML parser alone, without the
    // shortcut for documents in the program's own form; tests hold the two
    // to the same results.
    int ParseDocumentByTree(std::string& bytes, Komunikaty& list);
    // The load without a message and without a copy of a damaged file;
    // LastError() says why a file could not be read.
    int ReadDataFile(Komunikaty& list);
    // True when the last load or parse read the document in the program's
    // own form straight from its bytes; false when the XML parser read it.
    bool LastReadInPlace() const { return readInPlace_; }
    // The same load without keeping the list, the file mapped instead of
    // read (for the companion tool only: see dataeach.cpp): `start(count)`
    // comes before the reminders (and again, should they have to be read a
    // second way), then `each(index, reminder)` for every one in order. A
    // result other than kLoaded means that what `each` saw is to be
    // forgotten. Without `withTexts` the texts are checked as ever but may
    // come empty.
    int ReadEach(const std::function<void(int32_t)>& start,
                 const std::function<void(int32_t, const Komunikat&)>& each, bool withTexts = true);

    // A date as the file stores it (always d.MM.yyyy), and back. Reading
    // tries the regional short date, then ISO 8601, then d.MM.yyyy.
    std::string DateText(Date d) const;
    std::optional<Date> ParseDate(std::string_view text) const;

private:
    int ReadDataFile(Komunikaty& list, bool& read, bool& empty);
    bool Save(const Komunikaty& list, ReplaceCheck* check);
    int OpenDataFile(size_t& size);
    int ParseInPlace(char* data, size_t size, Komunikaty& list);
    int ParseTree(char* data, size_t size, Komunikaty& list);
    void KeepDamagedCopy(const std::string& bytes);
    std::string UnreadableMessage() const;

    std::string path_;
    Messages& messages_;
    const RegionalFormats& formats_;
    Scrambler& scrambler_;
    FileWriterFactory* writers_;
    std::string damagedCopy_;
    std::string lastError_;
    bool readInPlace_ = false;
    std::string unreadable_; // why the last load could not read the file, nothing kept of it
    FileStamp written_;
    std::vector<char> bytes_; // the last load's, kept for the next

};

} // namespace remindo
