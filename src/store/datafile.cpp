#include "store/datafile.h"

#include "store/atomicfile.h"
#include "store/codec.h"
#include "store/fixedformats.h"
#include "store/formats.h"
#include "store/mappedfile.h"
#include "store/messages.h"
#include "store/scramble.h"
#include "store/textnumbers.h"

#include <pugixml.hpp>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

namespace remindo {
namespace {

constexpr std::string_view kMissingMessage = "Plik danych nie istnieje.\rUtwórz nowy plik.";
constexpr std::string_view kDamagedMessage = "Plik danych jest uszkodzony.\rUtwórz nowy plik.";
constexpr std::string_view kSaveFailedMessage =
    "Problemy z zapisaniem pliku danych.\rCzy masz należyte uprawnienia?";

// Beside the file, before anything can overwrite it.
constexpr const char* kDamagedSuffix = ".uszkodzony-";

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// ---- writing -------------------------------------------------------------

constexpr bool Escaped(char c) { return c == '&' || c == '<' || c == '>' || c == '"'; }

void AppendEscaped(std::string& out, std::string_view text)
{
    size_t extra = 0;
    for (char c : text)
        if (Escaped(c))
            extra += c == '"' ? 5 : c == '&' ? 4 : 3;
    const size_t at = out.size();
    out.resize(at + text.size() + extra);
    char* p = out.data() + at;
    for (char c : text) {
        if (!Escaped(c)) {
            *p++ = c;
            continue;
        }
        const std::string_view e = c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : "&quot;";
        p = std::copy(e.begin(), e.end(), p);
    }
}

// The document is printed straight from the list: one tab per level, CR LF
// after every line, an element without text as one empty-element tag.
class Printer {
public:
    Printer(std::string& out, Scrambler& scrambler, bool on) : out_(out), scrambler_(scrambler), on_(on) {}

    void Open(std::string_view name, int depth)
    {
        out_.append(size_t(depth), '\t');
        out_ += '<';
        out_ += name;
        out_ += ">\r\n";
    }
    void Close(std::string_view name, int depth)
    {
        out_.append(size_t(depth), '\t');
        out_ += "</";
        out_ += name;
        out_ += ">\r\n";
    }
    void Value(std::string_view name, std::string_view value, int depth, bool scrambled = true)
    {
        std::string_view text = value;
        if (scrambled && on_) {
            scratch_.clear();
            scrambler_.ScrambleInto(value, true, scratch_);
            text = scratch_;
        }
        out_.append(size_t(depth), '\t');
        out_ += '<';
        out_ += name;
        if (text.empty()) {
            out_ += "/>\r\n";
            return;
        }
        out_ += '>';
        AppendEscaped(out_, text);
        out_ += "</";
        out_ += name;
        out_ += ">\r\n";
    }
    void Number(std::string_view name, int64_t v, int depth)
    {
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf, v);
        Value(name, std::string_view(buf, size_t(r.ptr - buf)), depth);
    }

private:
    std::string& out_;
    Scrambler& scrambler_;
    bool on_;
    std::string scratch_;
};

// The `count` decimal digits of `s` from `from` as a number; false when one
// of them is not a digit.
bool DigitsAt(std::string_view s, size_t from, size_t count, int& v)
{
    v = 0;
    for (size_t i = from; i < from + count; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        v = v * 10 + (s[i] - '0');
    }
    return true;
}

std::optional<Date> ParseIsoDate(std::string_view s)
{
    int y, m, d;
    Date out;
    if (s.size() != 10 || s[4] != '-' || s[7] != '-' || !DigitsAt(s, 0, 4, y) || !DigitsAt(s, 5, 2, m) ||
        !DigitsAt(s, 8, 2, d) || !TryDateFromYmd(y, m, d, out))
        return std::nullopt;
    return out;
}

// d.MM.yyyy, digits only, as DateText writes it.
std::optional<Date> ParseWrittenDate(std::string_view s)
{
    if (s.size() != 9 && s.size() != 10)
        return std::nullopt;
    const size_t dayDigits = s.size() - 8;
    int day, month, year;
    Date out;
    if (s[dayDigits] != '.' || s[dayDigits + 3] != '.' || !DigitsAt(s, 0, dayDigits, day) ||
        !DigitsAt(s, dayDigits + 1, 2, month) || !DigitsAt(s, dayDigits + 4, 4, year) ||
        !TryDateFromYmd(year, month, day, out))
        return std::nullopt;
    return out;
}

// ---- reading -------------------------------------------------------------

std::string_view Trimmed(std::string_view s)
{
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32)
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32)
        s.remove_suffix(1);
    return s;
}

// The element's text as the file holds it (entities not yet decoded), or
// nothing when its first child is not text.
std::optional<std::string_view> RawText(pugi::xml_node e)
{
    // Text that comes first in an element is parsed into the element itself.
    if (*e.value())
        return std::string_view(e.value());
    const pugi::xml_node t = e.first_child();
    if (t.type() != pugi::node_pcdata && t.type() != pugi::node_cdata)
        return std::nullopt;
    return std::string_view(t.value());
}

// A field's text as the file holds it, or that it is missing. An element
// whose first child is not text reads as empty.
struct Raw {
    bool present = false;
    std::string_view text;
    bool mayHoldEntities = true; // false only when known to hold no '&'
};

Raw RawOf(pugi::xml_node e)
{
    if (!e)
        return {};
    const auto t = RawText(e);
    return {true, t ? *t : std::string_view()};
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// The code point of a character reference's digits ("#261", "#x105"); 0
// when they are not one.
char32_t CharacterReference(std::string_view ref)
{
    if (ref.size() < 2 || ref[0] != '#')
        return 0;
    const bool hex = ref[1] == 'x' || ref[1] == 'X';
    const std::string_view digits = ref.substr(hex ? 2 : 1);
    uint32_t cp = 0;
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), cp, hex ? 16 : 10);
    if (digits.empty() || r.ec != std::errc() || r.ptr != digits.data() + digits.size() || cp == 0 || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return cp;
}

// True when every byte from 0x80 up is part of a well-formed UTF-8 sequence.
bool ValidUtf8(std::string_view s)
{
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        size_t len;
        char32_t cp;
        if ((b & 0xE0) == 0xC0) { len = 2; cp = b & 0x1F; }
        else if ((b & 0xF0) == 0xE0) { len = 3; cp = b & 0x0F; }
        else if ((b & 0xF8) == 0xF0) { len = 4; cp = b & 0x07; }
        else return false;
        if (i + len > s.size())
            return false;
        for (size_t k = 1; k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        const char32_t least = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
        if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

bool HasHighBytes(std::string_view s)
{
    return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

std::string CodePointName(char32_t cp)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", unsigned(cp));
    return buf;
}

// The field elements of one reminder, the first of each name.
enum Field { kTresc, kData, kCoIle, kIlePrzed, kCzyPo, kBlok, kBlokDzis, kBlokDzisData, kIle, kFieldCount };

int FieldOf(const char* name)
{
    switch (name[0]) {
    case 'T': return std::strcmp(name, "Tresc") == 0 ? kTresc : -1;
    case 'D': return std::strcmp(name, "Data") == 0 ? kData : -1;
    case 'C':
        if (std::strcmp(name, "CoIle") == 0) return kCoIle;
        return std::strcmp(name, "CzyPo") == 0 ? kCzyPo : -1;
    case 'I':
        if (std::strcmp(name, "Ile") == 0) return kIle;
        return std::strcmp(name, "IlePrzed") == 0 ? kIlePrzed : -1;
    case 'B':
        if (std::strcmp(name, "Blok") == 0) return kBlok;
        if (std::strcmp(name, "BlokDzis") == 0) return kBlokDzis;
        return std::strcmp(name, "BlokDzisData") == 0 ? kBlokDzisData : -1;
    default: return -1;
    }
}

// n when `name` is exactly "Nr" followed by n in plain decimal (no sign, no
// leading zero), 1 <= n <= limit; 0 otherwise.
int64_t NrIndex(const char* name, int64_t limit)
{
    if (name[0] != 'N' || name[1] != 'r' || name[2] < '1' || name[2] > '9')
        return 0;
    int64_t n = 0;
    for (const char* p = name + 2; *p; ++p) {
        if (*p < '0' || *p > '9')
            return 0;
        n = n * 10 + (*p - '0');
        if (n > limit)
            return 0;
    }
    return n;
}

// Reads values: entities decoded, unscrambled while the switch is on, in
// Windows-1250. Buffers are reused from value to value.
class Reader {
public:
    Reader(const DataFile& file, bool on, bool utf8) : file_(file), on_(on), utf8_(utf8) {}

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
    bool Text(const Raw& field, std::string& out)
    {
        // Unscrambled, an empty text is written as an empty element, and a
        // missing one reads the same.
        if (!field.present && !on_) {
            out.clear();
            return true;
        }
        if (!texts_) {
            // Read as far as it can fail, then left: unscrambling never fails.
            out.clear();
            std::string_view text;
            return Decoded(field, text);
        }
        std::string_view v;
        if (!Value(field, v))
            return false;
        out.assign(v);
        return true;
    }
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
    bool Decode(std::string_view& text, bool mayHoldEntities = true)
    {
        problem_.clear();
        const bool entities = mayHoldEntities && text.find('&') != std::string_view::npos;
        if (!entities && !(utf8_ && HasHighBytes(text)))
            return true;
        decoded_.clear();
        std::string& target = utf8_ ? utf8Text_ : decoded_;
        target.clear();
        for (size_t i = 0; i < text.size();) {
            const size_t amp = text.find('&', i);
            target.append(text.substr(i, amp == std::string_view::npos ? std::string_view::npos : amp - i));
            if (amp == std::string_view::npos)
                break;
            const size_t semi = text.find(';', amp);
            const std::string_view name =
                semi == std::string_view::npos ? std::string_view() : text.substr(amp + 1, semi - amp - 1);
            char named = name == "amp" ? '&' : name == "lt" ? '<' : name == "gt" ? '>' : name == "quot" ? '"'
                         : name == "apos" ? '\'' : 0;
            if (named) {
                target += named;
            } else if (const char32_t cp = CharacterReference(name)) {
                if (utf8_) {
                    AppendUtf8(target, cp);
                } else if (cp < 0x80) {
                    target += char(cp);
                } else {
                    std::string one;
                    AppendUtf8(one, cp);
                    const Cp1250Result r = Cp1250FromUtf8(one);
                    if (!r.ok()) {
                        problem_ = "the character " + CodePointName(cp) + " has no Windows-1250 form";
                        return false;
                    }
                    target += r.text;
                }
            } else {
                // Not an entity we know: the text stays as written.
                target += '&';
                i = amp + 1;
                continue;
            }
            i = semi + 1;
        }
        if (utf8_) {
            const Cp1250Result r = Cp1250FromUtf8(utf8Text_);
            if (!r.ok()) {
                problem_ = "the character " + CodePointName(r.rejected[0]) + " has no Windows-1250 form";
                return false;
            }
            decoded_ = r.text;
        }
        text = decoded_;
        return true;
    }

    const DataFile& file_;
    bool on_;
    bool utf8_;
    bool texts_ = true;
    std::string decoded_, utf8Text_, unscrambled_, problem_;
};

bool ReadReminder(Reader& r, const Raw (&fields)[kFieldCount], Komunikat& k)
{
    return r.Text(fields[kTresc], k.Tresc) && r.DateValue(fields[kData], k.Data) &&
           r.Integer(fields[kCoIle], k.CoIle) && r.Integer(fields[kIlePrzed], k.IlePrzed) &&
           r.Integer(fields[kCzyPo], k.CzyPo) && r.Integer(fields[kBlok], k.Blok) &&
           r.Integer(fields[kBlokDzis], k.BlokDzis) && r.DateValue(fields[kBlokDzisData], k.BlokDzisData) &&
           r.Integer(fields[kIle], k.Ile);
}

bool ReadReminder(Reader& r, pugi::xml_node nr, Komunikat& k)
{
    pugi::xml_node nodes[kFieldCount];
    for (pugi::xml_node c = nr.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        const int f = FieldOf(c.name());
        if (f >= 0 && !nodes[f])
            nodes[f] = c;
    }
    Raw fields[kFieldCount];
    for (int f = 0; f < kFieldCount; ++f)
        fields[f] = RawOf(nodes[f]);
    return ReadReminder(r, fields, k);
}

// The first of `p`..`end` that is '<', CR or a zero byte (`end` when none),
// and whether an '&' comes before it: one pass over a value, sixteen bytes
// at a time where the processor allows.
const char* ScanValue(const char* p, const char* end, bool& ampersand)
{
#if defined(__SSE2__)
    const __m128i lt = _mm_set1_epi8('<'), cr = _mm_set1_epi8('\r'), zero = _mm_setzero_si128(),
                  amp = _mm_set1_epi8('&');
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto stops = unsigned(_mm_movemask_epi8(
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, lt), _mm_cmpeq_epi8(v, cr)), _mm_cmpeq_epi8(v, zero))));
        const auto amps = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, amp)));
        if (stops) {
            const int at = __builtin_ctz(stops);
            ampersand |= (amps & ((1u << at) - 1)) != 0;
            return p + at;
        }
        ampersand |= amps != 0;
        p += 16;
    }
#endif
    for (; p < end; ++p) {
        if (*p == '<' || *p == '\r' || *p == '\0')
            return p;
        ampersand |= *p == '&';
    }
    return end;
}

// The fields the program keeps only while it runs stay with the record at
// the same index.
void CarryWorkingFields(const Komunikaty& list, size_t i, Komunikat& k)
{
    if (i >= list.items.size())
        return;
    const Komunikat& old = list.items[i];
    k.WarnToday = old.WarnToday;
    k.ShownToday = old.ShownToday;
    k.LastShownMinute = old.LastShownMinute;
}

// The document in the very form the program writes it (scrambled, the
// elements in their order, only blanks between them) read straight from its
// bytes, without a tree. Whatever it does not recognise or cannot read it
// leaves to the parser, which then decides; so it can only ever give the
// parser's own result, sooner.
struct Tags {
    std::string_view open, close;
};
constexpr Tags kFieldTags[kFieldCount] = {
    {"<Tresc>", "</Tresc>"},       {"<Data>", "</Data>"},         {"<CoIle>", "</CoIle>"},
    {"<IlePrzed>", "</IlePrzed>"}, {"<CzyPo>", "</CzyPo>"},       {"<Blok>", "</Blok>"},
    {"<BlokDzis>", "</BlokDzis>"}, {"<BlokDzisData>", "</BlokDzisData>"}, {"<Ile>", "</Ile>"},
};

class WrittenForm {
public:
    WrittenForm(const char* data, size_t size) : p_(data), end_(data + size) {}

    // `start(count)` comes before the reminders, then `each(index, k)` for
    // each of them in order, `k` to be moved from at will.
    template <class Start, class Each>
    bool Read(Reader& r, Start&& start, Each&& each)
    {
        Raw code, count;
        int32_t n = 0;
        if (!Literal("<Dane>") || !Field({"<Code>", "</Code>"}, code) || Trimmed(code.text) != "tr" ||
            !Field({"<Ilosc>", "</Ilosc>"}, count) || !r.Integer(count, n) || n < 0 ||
            size_t(n) > size_t(end_ - p_) / 64)
            return false;
        start(n);
        char open[16] = "<Nr", close[16] = "</Nr";
        Raw fields[kFieldCount];
        Komunikat k;
        for (int32_t i = 0; i < n; ++i) {
            char* o = std::to_chars(open + 3, open + sizeof open - 1, i + 1).ptr;
            *o++ = '>';
            char* c = std::copy(open + 3, o, close + 4);
            if (!Literal({open, size_t(o - open)}))
                return false;
            for (int f = 0; f < kFieldCount; ++f)
                if (!Field(kFieldTags[f], fields[f]))
                    return false;
            if (!Literal({close, size_t(c - close)}) || !ReadReminder(r, fields, k))
                return false;
            each(i, k);
        }
        if (!Literal("</Dane>"))
            return false;
        Blanks();
        return p_ == end_;
    }

    // The whole list, the working fields kept by index.
    bool ReadList(Reader& r, const Komunikaty& list, std::vector<Komunikat>& fresh)
    {
        return Read(
            r, [&](int32_t n) { fresh.reserve(size_t(n)); },
            [&](int32_t i, Komunikat& k) {
                fresh.push_back(std::move(k));
                CarryWorkingFields(list, size_t(i), fresh.back());
            });
    }

private:
    // What the parser skips between elements.
    void Blanks()
    {
        while (p_ < end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\r' || *p_ == '\n'))
            ++p_;
    }
    // A tag, after the blanks before it.
    bool Literal(std::string_view tag)
    {
        Blanks();
        if (size_t(end_ - p_) < tag.size() || std::memcmp(p_, tag.data(), tag.size()) != 0)
            return false;
        p_ += tag.size();
        return true;
    }
    // <name>text</name>. A text the parser would change (line ends) or cut
    // short (a zero byte) is not this form.
    bool Field(const Tags& tags, Raw& out)
    {
        if (!Literal(tags.open))
            return false;
        bool ampersand = false;
        const char* lt = ScanValue(p_, end_, ampersand);
        if (lt == end_ || size_t(end_ - lt) < tags.close.size() || std::memcmp(lt, tags.close.data(), tags.close.size()) != 0)
            return false;
        out = {true, std::string_view(p_, size_t(lt - p_)), ampersand};
        p_ = lt + tags.close.size();
        return true;
    }

    const char* p_;
    const char* end_;
};

void KeepSelectionInside(Komunikaty& list)
{
    if (list.SelectedIndex >= list.ReminderCount())
        list.SelectedIndex = list.ReminderCount() - 1;
}

// A plain file is read as UTF-8 when it says so (a byte-order mark or the
// declaration's encoding) or when its non-ASCII bytes can only be UTF-8.
bool PlainFileIsUtf8(bool bom, pugi::xml_document& doc)
{
    if (bom)
        return true;
    const pugi::xml_node decl = doc.first_child();
    if (decl.type() == pugi::node_declaration) {
        const pugi::xml_attribute enc = decl.attribute("encoding");
        if (enc) {
            std::string e = enc.value();
            std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return char(std::tolower(c)); });
            return e == "utf-8" || e == "utf8";
        }
    }
    bool high = false;
    struct Walker : pugi::xml_tree_walker {
        bool* high;
        bool valid = true;
        bool for_each(pugi::xml_node& n) override
        {
            if (n.type() != pugi::node_pcdata && n.type() != pugi::node_cdata && n.type() != pugi::node_element)
                return true;
            const std::string_view v = n.value();
            if (HasHighBytes(v)) {
                *high = true;
                valid = ValidUtf8(v);
            }
            return valid;
        }
    } walker;
    walker.high = &high;
    doc.traverse(walker);
    return high && walker.valid;
}

// Memory for one load, mapped in one piece with its pages put in place at
// once: faulting in a few megabytes page by page costs more than parsing them.
class MappedMemory {
public:
    // `populate`: put every page in place now; otherwise they are put in
    // place a stretch at a time as Take hands them out.
    MappedMemory(size_t size, bool populate) : size_(std::max<size_t>(size, 1))
    {
        void* p = ::mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) {
            fallback_ = std::make_unique<char[]>(size_);
            base_ = fallback_.get();
            return;
        }
        base_ = static_cast<char*>(p);
        mapped_ = true;
        if (populate)
            Populate(size_);
    }
    ~MappedMemory()
    {
        if (mapped_)
            ::munmap(base_, size_);
    }
    MappedMemory(const MappedMemory&) = delete;
    MappedMemory& operator=(const MappedMemory&) = delete;

    char* Data() { return base_; }
    size_t Size() const { return size_; }
    void Reset() { used_ = 0; }
    // Bump allocation for the parser; null when the block is used up.
    void* Take(size_t n)
    {
        n = (n + 15) & ~size_t(15);
        if (n > size_ - used_)
            return nullptr;
        void* p = base_ + used_;
        used_ += n;
        if (used_ > populated_)
            Populate(std::min(size_, (used_ + kStretch - 1) / kStretch * kStretch));
        return p;
    }
    bool Owns(const void* p) const
    {
        const char* c = static_cast<const char*>(p);
        return c >= base_ && c < base_ + size_;
    }

private:
    static constexpr size_t kStretch = size_t(1) << 20;

    // Where it fails, the pages come one by one as they are touched.
    void Populate(size_t upTo)
    {
        if (mapped_ && upTo > populated_)
            ::madvise(base_ + populated_, upTo - populated_, MADV_POPULATE_WRITE);
        populated_ = upTo;
    }

    size_t size_;
    size_t used_ = 0;
    size_t populated_ = 0;
    char* base_ = nullptr;
    bool mapped_ = false;
    std::unique_ptr<char[]> fallback_;
};

// The parser takes its memory from the block of the parse under way; what
// does not fit comes from the heap as usual.
MappedMemory* parseMemory = nullptr;

void* ParserAllocate(size_t n)
{
    if (parseMemory)
        if (void* p = parseMemory->Take(n))
            return p;
    return std::malloc(n);
}

void ParserDeallocate(void* p)
{
    if (parseMemory && parseMemory->Owns(p))
        return;
    std::free(p);
}

class ParserMemoryScope {
public:
    explicit ParserMemoryScope(MappedMemory& memory)
        : oldAllocate_(pugi::get_memory_allocation_function()), oldDeallocate_(pugi::get_memory_deallocation_function())
    {
        parseMemory = &memory;
        pugi::set_memory_management_functions(ParserAllocate, ParserDeallocate);
    }
    ~ParserMemoryScope()
    {
        pugi::set_memory_management_functions(oldAllocate_, oldDeallocate_);
        parseMemory = nullptr;
    }

private:
    pugi::allocation_function oldAllocate_;
    pugi::deallocation_function oldDeallocate_;
};

} // namespace

// The memory of the last load, kept for the next one: a reload then finds
// its pages in place.
struct DataFile::LoadMemory {
    std::unique_ptr<MappedMemory> bytes;
    std::unique_ptr<MappedMemory> document;

    static MappedMemory& AtLeast(std::unique_ptr<MappedMemory>& m, size_t size, bool populate)
    {
        if (!m || m->Size() < size)
            m = std::make_unique<MappedMemory>(size, populate);
        m->Reset();
        return *m;
    }
};

namespace {

// Room for the document of a file of `size` bytes as the program writes it:
// a node of 64 bytes for about every 30 bytes of the file, and the parser's
// page headers. Denser documents take the rest from the heap.
size_t DocumentSize(size_t size) { return size / 30 * 72 + (size_t(64) << 10); }

} // namespace

DataFile::DataFile(std::string path, Messages& messages, const RegionalFormats& formats, Scrambler& scrambler)
    : path_(std::move(path)), messages_(messages), formats_(formats), scrambler_(scrambler),
      writers_(&DefaultFileWriters()), memory_(std::make_unique<LoadMemory>())
{
}

DataFile::~DataFile() = default;

void DataFile::SetWriters(FileWriterFactory* writers) { writers_ = writers ? writers : &DefaultFileWriters(); }

std::string DataFile::DateText(Date d) const
{
    // One form whatever the desktop's language, so that a file written under
    // one locale reads under every other: d.MM.yyyy, which a Polish desktop
    // writes and which every load reads.
    const Ymd v = YmdOf(d);
    char buf[16];
    char* p = std::to_chars(buf, buf + 4, v.day).ptr;
    *p++ = '.';
    *p++ = char('0' + v.month / 10);
    *p++ = char('0' + v.month % 10);
    *p++ = '.';
    for (int div = 1000; div > 0; div /= 10)
        *p++ = char('0' + v.year / div % 10);
    return std::string(buf, size_t(p - buf));
}

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

std::string DataFile::BuildDocument(const Komunikaty& list)
{
    std::string out;
    out.reserve(64 + list.items.size() * 360);
    Printer p(out, scrambler_, Switch);
    p.Open("Dane", 0);
    p.Value("Code", Switch ? "tr" : "fa", 1, false);
    p.Number("Ilosc", list.ReminderCount(), 1);
    char name[24] = "Nr";
    for (int i = 0; i < list.ReminderCount(); ++i) {
        const Komunikat& k = list[i];
        const auto r = std::to_chars(name + 2, name + sizeof name, i + 1);
        const std::string_view nr(name, size_t(r.ptr - name));
        p.Open(nr, 1);
        p.Value("Tresc", k.Tresc, 2);
        p.Value("Data", DateText(k.Data), 2);
        p.Number("CoIle", k.CoIle, 2);
        p.Number("IlePrzed", k.IlePrzed, 2);
        p.Number("CzyPo", k.CzyPo, 2);
        p.Number("Blok", k.Blok, 2);
        p.Number("BlokDzis", k.BlokDzis, 2);
        p.Value("BlokDzisData", DateText(k.BlokDzisData), 2);
        p.Number("Ile", k.Ile, 2);
        p.Close(nr, 1);
    }
    p.Close("Dane", 0);
    return out;
}

int DataFile::ParseDocument(std::string_view bytes, Komunikaty& list)
{
    std::string copy(bytes);
    return ParseDocument(copy, list);
}

int DataFile::ParseDocument(std::string& bytes, Komunikaty& list) { return ParseInPlace(bytes.data(), bytes.size(), list); }

int DataFile::ParseInPlace(char* data, size_t length, Komunikaty& list)
{
    lastError_.clear();
    const bool bom = std::string_view(data, length).substr(0, kBom.size()) == kBom;
    if (!bom) {
        Reader r(*this, true, false);
        std::vector<Komunikat> fresh;
        if (WrittenForm(data, length).ReadList(r, list, fresh)) {
            list.items = std::move(fresh);
            KeepSelectionInside(list);
            return kLoaded;
        }
    }
    return ParseTree(data, length, list);
}

int DataFile::ParseDocumentByTree(std::string& bytes, Komunikaty& list)
{
    lastError_.clear();
    return ParseTree(bytes.data(), bytes.size(), list);
}

int DataFile::ParseTree(char* data, size_t length, Komunikaty& list)
{
    // Parsed in place, byte for byte: the values are Windows-1250 (or a
    // plain file's UTF-8), which the reader decodes itself.
    const bool bom = std::string_view(data, length).substr(0, kBom.size()) == kBom;
    char* const start = data + (bom ? kBom.size() : 0);
    const size_t size = length - (bom ? kBom.size() : 0);
    MappedMemory& memory = LoadMemory::AtLeast(memory_->document, DocumentSize(size), false);
    const ParserMemoryScope scope(memory);
    pugi::xml_document doc;
    pugi::xml_node dane;
    if (size > 0 &&
        doc.load_buffer_inplace(start, size, pugi::parse_cdata | pugi::parse_eol | pugi::parse_declaration | pugi::parse_embed_pcdata,
                                pugi::encoding_utf8))
        dane = doc.child("Dane");
    if (!dane)
        return kDamagedHeader;

    // The document's switch holds for this load only.
    const auto code = RawText(dane.child("Code"));
    const bool on = code && Trimmed(*code) == "tr";
    Reader r(*this, on, !on && PlainFileIsUtf8(bom, doc));
    int32_t count = 0;
    if (!r.Integer(RawOf(dane.child("Ilosc")), count))
        return kDamagedHeader;

    auto damaged = [&] {
        list.items.clear();
        KeepSelectionInside(list);
        return kDamagedReminder;
    };
    if (count < 0)
        return damaged();

    // Each Nr element by its number, the first of each; the rest are ignored.
    // A count beyond the elements there are cannot be met.
    size_t elements = 0;
    for (pugi::xml_node e = dane.first_child(); e; e = e.next_sibling())
        elements += e.type() == pugi::node_element;
    if (size_t(count) > elements)
        return damaged();
    std::vector<pugi::xml_node> nrs(static_cast<size_t>(count));
    for (pugi::xml_node e = dane.first_child(); e; e = e.next_sibling()) {
        if (e.type() != pugi::node_element)
            continue;
        const int64_t n = NrIndex(e.name(), count);
        if (n != 0 && !nrs[size_t(n - 1)])
            nrs[size_t(n - 1)] = e;
    }

    std::vector<Komunikat> fresh(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        Komunikat& k = fresh[size_t(i)];
        CarryWorkingFields(list, size_t(i), k);
        if (!nrs[size_t(i)] || !ReadReminder(r, nrs[size_t(i)], k)) {
            lastError_ = "reminder " + std::to_string(i + 1) + " cannot be read" +
                         (r.Problem().empty() ? std::string() : ": " + r.Problem());
            return damaged();
        }
    }
    list.items = std::move(fresh);
    KeepSelectionInside(list);
    return kLoaded;
}

int DataFile::LoadDataFile(Komunikaty& list)
{
    damagedCopy_.clear();
    lastError_.clear();
    if (!FileExists(path_)) {
        messages_.ShowWarning(kInformationBox, kIconInfo, kMissingMessage);
        return kMissing;
    }
    bool read = false, empty = true;
    const int result = ReadDataFile(list, read, empty);
    if (result == kDamagedHeader || result == kDamagedReminder) {
        // The parse used up the bytes; the copy is read again. An empty file
        // holds nothing to recover.
        std::string bytes;
        if (read && !empty && ReadWholeFile(path_, bytes))
            KeepDamagedCopy(bytes);
        messages_.ShowWarning(kInformationBox, kIconInfo, kDamagedMessage);
    }
    return result;
}

int DataFile::ReadDataFile(Komunikaty& list)
{
    bool read = false, empty = true;
    return ReadDataFile(list, read, empty);
}

int DataFile::OpenDataFile(size_t& size)
{
    lastError_.clear();
    return OpenForReading(path_, size, &lastError_);
}

int DataFile::ReadDataFile(Komunikaty& list, bool& read, bool& empty)
{
    size_t size = 0;
    const int fd = OpenDataFile(size);
    if (fd < 0)
        return kDamagedHeader;
    // The program's own form is read where the file lies, in place.
    bool tried = false;
    {
        MappedFile mapped;
        std::vector<Komunikat> fresh;
        Reader r(*this, true, false);
        tried = mapped.Map(fd, size);
        if (tried && WrittenForm(mapped.Data(), size).ReadList(r, list, fresh) && !mapped.Changed()) {
            ::close(fd);
            read = true;
            empty = false;
            list.items = std::move(fresh);
            KeepSelectionInside(list);
            return kLoaded;
        }
    }
    // Anything else: one read into one buffer, whose pages are in place
    // before it, for the parser to work in.
    std::string why;
    MappedMemory& bytes = LoadMemory::AtLeast(memory_->bytes, size, true);
    const long long got = ReadAndClose(fd, bytes.Data(), size, &why);
    if (got < 0) {
        lastError_ = why;
        return kDamagedHeader;
    }
    read = true;
    empty = got == 0;
    return tried ? ParseTree(bytes.Data(), size_t(got), list) : ParseInPlace(bytes.Data(), size_t(got), list);
}

int DataFile::ReadEach(const std::function<void(int32_t)>& start,
                       const std::function<void(int32_t, const Komunikat&)>& each, bool withTexts)
{
    size_t size = 0;
    const int fd = OpenDataFile(size);
    if (fd < 0)
        return kDamagedHeader;
    {
        MappedFile mapped;
        Reader r(*this, true, false);
        if (!withTexts)
            r.SkipTexts();
        const bool mappedRead = mapped.Map(fd, size);
        ::close(fd);
        if (mappedRead && WrittenForm(mapped.Data(), size).Read(r, start, each) && !mapped.Changed())
            return kLoaded;
    }
    // Not the program's own form: the whole load, then its reminders.
    Komunikaty list;
    const int result = ReadDataFile(list);
    if (result != kLoaded)
        return result;
    start(list.ReminderCount());
    for (int32_t i = 0; i < list.ReminderCount(); ++i)
        each(i, list[i]);
    return kLoaded;
}

bool DataFile::SaveDataFile(const Komunikaty& list)
{
    lastError_.clear();
    if (ReplaceFile(*writers_, path_, BuildDocument(list), &lastError_))
        return true;
    messages_.ShowWarning(kInformationBox, kIconInfo, kSaveFailedMessage);
    return false;
}

void DataFile::KeepDamagedCopy(const std::string& bytes)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path file = fs::absolute(fs::path(path_), ec).lexically_normal();
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
    if (WriteNewFile(*writers_, copyPath, bytes, FileMode(path_)))
        damagedCopy_ = copyPath;
}

} // namespace remindo
