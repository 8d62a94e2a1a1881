#include "store/datafile.h"

#include "store/scramble.h"

#include <algorithm>
#include <charconv>

namespace remindo {
namespace {

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

} // namespace

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
        // A block a preparation pass set on a past one-off reminder lives in
        // memory only: it came from the clock of this run, and the next run
        // decides again by its own (a clock set wrong for a while must not
        // turn reminders off for good).
        p.Number("Blok", k.PassBlockedOn.serial != 0 && k.Blok == 1 ? 0 : k.Blok, 2);
        p.Number("BlokDzis", k.BlokDzis, 2);
        p.Value("BlokDzisData", DateText(k.BlokDzisData), 2);
        p.Number("Ile", k.Ile, 2);
        p.Close(nr, 1);
    }
    p.Close("Dane", 0);
    return out;
}

} // namespace remindo
