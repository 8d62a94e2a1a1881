#include "sync/state.h"

#include "store/atomicfile.h"
#include "store/textnumbers.h"

#include <sstream>

namespace remindo::sync {

namespace {

// Every string in hex: texts are Windows-1250 bytes, tokens and addresses
// the server's, and none of them may break a line or a field.
std::string Hex(std::string_view s)
{
    static const char digits[] = "0123456789abcdef";
    std::string out = s.empty() ? "-" : "";
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

bool Unhex(const std::string& in, std::string& out)
{
    out.clear();
    if (in == "-")
        return true;
    if (in.empty() || in.size() % 2)
        return false;
    const auto nibble = [](char c) {
        return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    };
    for (size_t i = 0; i < in.size(); i += 2) {
        const int hi = nibble(in[i]), lo = nibble(in[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out += char(hi * 16 + lo);
    }
    return true;
}

constexpr const char* kHeader = "remindo-sync 1";

} // namespace

std::string StatePath(const std::string& dataFile)
{
    const size_t slash = dataFile.rfind('/');
    return (slash == std::string::npos ? std::string() : dataFile.substr(0, slash + 1)) + "Sync.dat";
}

std::string StateText(const SyncState& s)
{
    std::string out = std::string(kHeader) + "\n";
    out += "account " + Hex(s.account) + "\ncalendar " + Hex(s.calendar) + "\ntoken " + Hex(s.token) + "\nctag " +
           Hex(s.ctag) + "\n";
    for (const SyncEntry& e : s.entries) {
        const Komunikat& k = e.form;
        out += "item " + Hex(e.uid) + " " + Hex(e.href) + " " + Hex(e.etag) + " " + std::to_string(e.position) + " " +
               Hex(k.Tresc);
        for (const int32_t n : {k.Data.serial, k.CoIle, k.IlePrzed, k.CzyPo, k.Blok, k.BlokDzis,
                                k.BlokDzisData.serial, k.Ile})
            out += " " + std::to_string(n);
        out += "\n";
    }
    for (const NotHeld& n : s.notHeld)
        out += "notheld " + Hex(n.href) + " " + Hex(n.etag) + "\n";
    return out + "end\n";
}

bool ParseState(const std::string& text, SyncState& state)
{
    SyncState s;
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != kHeader)
        return false;
    bool ended = false;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        std::vector<std::string> w;
        for (std::string x; words >> x;)
            w.push_back(x);
        const auto str = [&](size_t i, std::string& out) { return i < w.size() && Unhex(w[i], out); };
        const auto num = [&](size_t i, int32_t& out) {
            const auto v = i < w.size() ? ParseInt32(w[i]) : std::nullopt;
            if (v)
                out = *v;
            return v.has_value();
        };
        bool ok = true;
        if (ended) {
            ok = false;
        } else if (kind == "end") {
            ended = true;
        } else if (kind == "account" || kind == "calendar" || kind == "token" || kind == "ctag") {
            std::string& field = kind == "account" ? s.account : kind == "calendar" ? s.calendar
                                 : kind == "token" ? s.token : s.ctag;
            ok = w.size() == 1 && str(0, field);
        } else if (kind == "item") {
            SyncEntry e;
            Komunikat& k = e.form;
            int32_t position = 0;
            ok = w.size() == 13 && str(0, e.uid) && str(1, e.href) && str(2, e.etag) && num(3, position) &&
                 str(4, k.Tresc) && num(5, k.Data.serial) && num(6, k.CoIle) && num(7, k.IlePrzed) &&
                 num(8, k.CzyPo) && num(9, k.Blok) && num(10, k.BlokDzis) && num(11, k.BlokDzisData.serial) &&
                 num(12, k.Ile) && !e.href.empty();
            e.position = position;
            s.entries.push_back(std::move(e));
        } else if (kind == "notheld") {
            NotHeld n;
            ok = w.size() == 2 && str(0, n.href) && str(1, n.etag);
            s.notHeld.push_back(std::move(n));
        } else {
            ok = false;
        }
        if (!ok)
            return false;
    }
    if (!ended)
        return false;
    state = std::move(s);
    return true;
}

StateRead ReadState(const std::string& path, SyncState& state, std::string* why)
{
    if (!FileExists(path))
        return StateRead::Missing;
    std::string text;
    if (!ReadWholeFile(path, text, why))
        return StateRead::Damaged;
    if (!ParseState(text, state)) {
        if (why)
            *why = "not a sync state file";
        return StateRead::Damaged;
    }
    return StateRead::Read;
}

bool WriteState(const std::string& path, const SyncState& state, std::string* why)
{
    std::unique_ptr<FileWriter> w = DefaultFileWriters().NewWriter();
    w->SetMode(0600);
    if (w->Open(path) && w->Write(StateText(state)) && w->Commit())
        return true;
    if (why)
        *why = w->Error();
    w->Discard();
    return false;
}

} // namespace remindo::sync
