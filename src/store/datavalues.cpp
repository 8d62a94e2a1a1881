#include "store/datavalues.h"

#include "store/codec.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace remindo {
namespace {

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

std::string CodePointName(char32_t cp)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", unsigned(cp));
    return buf;
}

} // namespace

std::optional<Date> ParseIsoDate(std::string_view s)
{
    int y, m, d;
    Date out;
    if (s.size() != 10 || s[4] != '-' || s[7] != '-' || !DigitsAt(s, 0, 4, y) || !DigitsAt(s, 5, 2, m) ||
        !DigitsAt(s, 8, 2, d) || !TryDateFromYmd(y, m, d, out))
        return std::nullopt;
    return out;
}

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

std::string_view Trimmed(std::string_view s)
{
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32)
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32)
        s.remove_suffix(1);
    return s;
}

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
    // Eight bytes at a time: a whole plain file is asked.
    size_t i = 0;
    for (uint64_t word; i + 8 <= s.size(); i += 8) {
        std::memcpy(&word, s.data() + i, 8);
        if (word & 0x8080808080808080ULL)
            return true;
    }
    return std::any_of(s.begin() + std::ptrdiff_t(i), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

bool Reader::Text(const Raw& field, std::string& out)
{
    // Unscrambled, an empty text is written as an empty element, and a
    // missing one reads the same.
    out.clear();
    if (!field.present && !on_)
        return true;
    // Without texts, read as far as it can fail, then left: unscrambling
    // never fails.
    std::string_view v;
    if (!(texts_ ? Value(field, v) : Decoded(field, v)))
        return false;
    if (!on_ && !utf8_) {
        // Bytes that Windows-1250 leaves undefined and that scrambling uses
        // as spare images stand for no character: a save would change them.
        const auto undefined =
            std::find_if(v.begin(), v.end(), [](char c) { return IsUnusedByte(static_cast<unsigned char>(c)); });
        if (undefined != v.end()) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "0x%02X", unsigned(static_cast<unsigned char>(*undefined)));
            problem_ = std::string("the byte ") + buf + " is no Windows-1250 character";
            return false;
        }
    }
    if (texts_)
        out.assign(v);
    return true;
}

bool Reader::DecodeInto(std::string_view& text)
{
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

bool ReadReminder(Reader& r, const Raw (&fields)[kFieldCount], Komunikat& k)
{
    return r.Text(fields[kTresc], k.Tresc) && r.DateValue(fields[kData], k.Data) &&
           r.Integer(fields[kCoIle], k.CoIle) && r.Integer(fields[kIlePrzed], k.IlePrzed) &&
           r.Integer(fields[kCzyPo], k.CzyPo) && r.Integer(fields[kBlok], k.Blok) &&
           r.Integer(fields[kBlokDzis], k.BlokDzis) && r.DateValue(fields[kBlokDzisData], k.BlokDzisData) &&
           r.Integer(fields[kIle], k.Ile);
}

void CarryWorkingFields(const Komunikaty& list, size_t i, Komunikat& k)
{
    if (i >= list.items.size())
        return;
    const Komunikat& old = list.items[i];
    k.WarnToday = old.WarnToday;
    k.ShownToday = old.ShownToday;
    k.LastShownMinute = old.LastShownMinute;
    // A pass's block is never written: read again, the same reminder keeps
    // it for the rest of the run. It never passes to another reminder.
    if (old.PassBlockedOn.serial != 0 && old.Blok == 1 && k.Blok == 0 && old.Tresc == k.Tresc &&
        old.Data == k.Data && old.CoIle == k.CoIle && old.IlePrzed == k.IlePrzed) {
        k.Blok = 1;
        k.PassBlockedOn = old.PassBlockedOn;
    }
}

void KeepSelectionInside(Komunikaty& list)
{
    if (list.SelectedIndex >= list.ReminderCount())
        list.SelectedIndex = list.ReminderCount() - 1;
}

} // namespace remindo
