#include "store/datavalues.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <charconv>
#include <cstring>

namespace remindo {
namespace {

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

    bool Read(Reader& r, const std::function<void(int32_t)>& start, const std::function<void(int32_t, Komunikat&)>& each)
    {
        Raw code, count;
        int32_t n = 0;
        if (!Literal("<Dane>") || !Field({"<Code>", "</Code>"}, code))
            return false;
        // The document's switch, and for a plain file its encoding, as the
        // parser would take them: here every byte above 0x7F lies in a value.
        if (Trimmed(code.text) != "tr") {
            const std::string_view all(p_, size_t(end_ - p_));
            r.Plain(HasHighBytes(all) && ValidUtf8(all));
        }
        if (!Field({"<Ilosc>", "</Ilosc>"}, count) || !r.Integer(count, n) || n < 0 ||
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
    // <name>text</name>, or <name/> for no text (as a plain file writes an
    // empty one). A text the parser would change (line ends) or cut short
    // (a zero byte) is not this form.
    bool Field(const Tags& tags, Raw& out)
    {
        if (!Literal(tags.open)) {
            out = {true, {}, false};
            return Literal(tags.open.substr(0, tags.open.size() - 1)) && Literal("/>");
        }
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

} // namespace

bool ReadWrittenForm(const char* data, size_t size, Reader& r, const std::function<void(int32_t)>& start,
                     const std::function<void(int32_t, Komunikat&)>& each)
{
    return WrittenForm(data, size).Read(r, start, each);
}

bool ReadWrittenList(const char* data, size_t size, Reader& r, const Komunikaty& list, std::vector<Komunikat>& fresh)
{
    return ReadWrittenForm(
        data, size, r, [&](int32_t n) { fresh.reserve(size_t(n)); },
        [&](int32_t i, Komunikat& k) {
            fresh.push_back(std::move(k));
            CarryWorkingFields(list, size_t(i), fresh.back());
        });
}

int DataFile::ParseInPlace(char* data, size_t length, Komunikaty& list)
{
    lastError_.clear();
    readInPlace_ = false;
    const bool bom = std::string_view(data, length).substr(0, kBom.size()) == kBom;
    if (!bom) {
        Reader r(*this, true, false);
        std::vector<Komunikat> fresh;
        if (ReadWrittenList(data, length, r, list, fresh)) {
            readInPlace_ = true;
            list.items = std::move(fresh);
            KeepSelectionInside(list);
            return kLoaded;
        }
    }
    return ParseTree(data, length, list);
}

} // namespace remindo
