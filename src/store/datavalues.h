#pragma once
// The values of the data file as both of its readers meet them: a field's
// text as the file holds it, read into a value (entities decoded, UTF-8 of a
// plain file converted, unscrambled while the document's switch is on), and
// one reminder from its nine fields. Inside the store only.

#include "store/datafile.h"
#include "store/scramble.h"
#include "store/textnumbers.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace remindo {

// The field elements of one reminder, in the order they are written.
enum Field { kTresc, kData, kCoIle, kIlePrzed, kCzyPo, kBlok, kBlokDzis, kBlokDzisData, kIle, kFieldCount };

// A field's text as the file holds it, or that it is missing. An element
// whose first child is not text reads as empty.
struct Raw {
    bool present = false;
    std::string_view text;
    bool mayHoldEntities = true; // false only when known to hold no '&'
};

// A plain file in UTF-8 may begin with one.
inline constexpr std::string_view kBom = "\xEF\xBB\xBF";

// What the XML parser strips from both ends of a text.
std::string_view Trimmed(std::string_view s);

// d.MM.yyyy, digits only, as DateText writes it; and ISO 8601.
std::optional<Date> ParseWrittenDate(std::string_view s);
std::optional<Date> ParseIsoDate(std::string_view s);

// True when every byte from 0x80 up is part of a well-formed UTF-8 sequence.
bool ValidUtf8(std::string_view s);
bool HasHighBytes(std::string_view s);

// Reads values: entities decoded, unscrambled while the switch is on, in
// Windows-1250. Buffers are reused from value to value.
class Reader {
public:
    // `utf8`: the document is a plain file in UTF-8, converted on reading.
    Reader(const DataFile& file, bool on, bool utf8) : file_(file), on_(on), utf8_(utf8) {}
    // The document turns out to be plain (its switch off).
    void Plain(bool utf8)
    {
        on_ = false;
        utf8_ = utf8;
    }

    // The why of the last value that could not be read; empty when it was
    // simply missing or damaged.
    const std::string& Problem() const { return problem_; }

    // The field's value; false when it is missing or unreadable. The view
    // lasts until the next call.
    bool Value(const Raw& field, std::string_view& out)
    {
        std::string_view text;
        if (!Decoded(field, text))
            return false;
        if (!on_) {
            out = text;
            return true;
        }
        if (!UnscrambleInto(text, true, unscrambled_))
            return false;
        out = unscrambled_;
        return true;
    }
    bool Integer(const Raw& field, int32_t& out)
    {
        std::string_view v;
        if (!Value(field, v))
            return false;
        const auto n = ParseInt32(v);
        if (!n)
            return false;
        out = *n;
        return true;
    }
    bool DateValue(const Raw& field, Date& out)
    {
        std::string_view v;
        if (!Value(field, v))
            return false;
        const auto d = file_.ParseDate(v);
        if (!d)
            return false;
        out = *d;
        return true;
    }
    bool Text(const Raw& field, std::string& out);
    // Texts are checked but not kept: for readers that need none.
    void SkipTexts() { texts_ = false; }

private:
    // The field's text with its entities decoded, still scrambled; false
    // when it is missing or unreadable.
    bool Decoded(const Raw& field, std::string_view& text)
    {
        if (!field.present)
            return false;
        text = Trimmed(field.text);
        if (!Decode(text, field.mayHoldEntities))
            return false;
        return !(on_ && text.empty()); // a scrambled value is never empty
    }
    // Entities and character references become the bytes they stand for in
    // Windows-1250; a UTF-8 file's text is converted. False when a character
    // has no Windows-1250 byte. Most values hold neither: no copy then.
    bool Decode(std::string_view& text, bool mayHoldEntities)
    {
        problem_.clear();
        const bool entities = mayHoldEntities && text.find('&') != std::string_view::npos;
        if (!entities && !(utf8_ && HasHighBytes(text)))
            return true;
        return DecodeInto(text);
    }
    bool DecodeInto(std::string_view& text);

    const DataFile& file_;
    bool on_;
    bool utf8_;
    bool texts_ = true;
    std::string decoded_, utf8Text_, unscrambled_, problem_;
};

// One reminder from its nine fields; false when one cannot be read.
bool ReadReminder(Reader& r, const Raw (&fields)[kFieldCount], Komunikat& k);

// The fields the program keeps only while it runs stay with the record at
// the same index.
void CarryWorkingFields(const Komunikaty& list, size_t i, Komunikat& k);
void KeepSelectionInside(Komunikaty& list);

// The document in the very form the program writes it (scrambled or plain,
// the elements in their order, only blanks between them), read straight from its
// bytes without a tree: `start(count)` before the reminders, then
// `each(index, k)` for each in order, `k` to be moved from at will. False
// for whatever it does not recognise or cannot read: that is the parser's
// to decide, so this road can only ever give the parser's own result, sooner.
bool ReadWrittenForm(const char* data, size_t size, Reader& r, const std::function<void(int32_t)>& start,
                     const std::function<void(int32_t, Komunikat&)>& each);
// The same into `fresh`, the working fields of `list` kept by index.
bool ReadWrittenList(const char* data, size_t size, Reader& r, const Komunikaty& list, std::vector<Komunikat>& fresh);

} // namespace remindo
