#include "store/settingsfile.h"

#include "store/atomicfile.h"
#include "store/log.h"
#include "store/scramble.h"
#include "store/textnumbers.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace remindo {
namespace {

constexpr size_t kMostSettingsBytes = 64 << 10;

// The settings switch; nothing in the program turns it off.
constexpr bool kSettingsSwitch = true;

// Lines end in CR LF as written; LF alone or CR alone also end a line when
// the file was edited elsewhere. A last line break adds no empty line.
std::vector<std::string_view> SplitLines(std::string_view all)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i] != '\r' && all[i] != '\n')
            continue;
        lines.push_back(all.substr(start, i - start));
        if (all[i] == '\r' && i + 1 < all.size() && all[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < all.size())
        lines.push_back(all.substr(start));
    return lines;
}

// A timer counts milliseconds in 32 bits. A negative value is treated as no
// number at all, and one too large for the timer as the largest that fits.
int32_t TimerValue(int32_t v, int32_t max) { return v < 0 ? 0 : std::min(v, max); }

} // namespace

Paths MakePaths(const std::string& appDataFolder)
{
    std::string base = appDataFolder;
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    Paths p;
    p.settingsFolder = base + "/Vendly/Remindo";
    p.settingsFile = p.settingsFolder + "/Remindo.ini";
    p.dataFile = p.settingsFolder + "/Dane.dat";
    return p;
}

SettingsFile::SettingsFile(Paths paths, Scrambler& scrambler, DiagnosticLog* log)
    : paths_(std::move(paths)), scrambler_(scrambler), log_(log), writers_(&DefaultFileWriters())
{
}

void SettingsFile::SetWriters(FileWriterFactory* writers)
{
    writers_ = writers ? writers : &DefaultFileWriters();
}

void SettingsFile::SetDefaultSettings(Settings& s)
{
    const Settings defaults;
    s.PokazCo = defaults.PokazCo;
    s.UkryjPo = defaults.UkryjPo;
    s.BadajCo = defaults.BadajCo;
    s.LogMode = defaults.LogMode;
    s.SoundOn = defaults.SoundOn;
    s.LogDetail = defaults.LogDetail;
    s.Volume = defaults.Volume;
}

void SettingsFile::PrepareSettings(Settings& s)
{
    if (!FileExists(paths_.settingsFile)) {
        // The whole chain: on a fresh account even the data folder itself may
        // not exist yet. A failure shows up as a failed write, which start-up
        // ignores.
        MakeFolders(paths_.settingsFolder);
        SetDefaultSettings(s);
        WriteSettings(s);
        return;
    }
    if (!ReadSettings(s)) {
        if (s.LogDetail > 3 && log_)
            log_->WriteLog("Utworzono nowy plik ini");
        SetDefaultSettings(s);
        WriteSettings(s);
    }
}

bool SettingsFile::ReadSettings(Settings& s)
{
    // Nine lines of the program's hold a few hundred bytes; whatever a file
    // holds beyond them is never read, so it costs no memory.
    std::string bytes;
    if (!ReadFileStart(paths_.settingsFile, kMostSettingsBytes, bytes))
        return false;
    const std::vector<std::string_view> lines = SplitLines(bytes);
    if (lines.empty())
        return false;
    const auto first = UnscrambleValue(lines[0], kSettingsSwitch);
    if (!first || *first != kProductName)
        return false;

    // Line n (from 1), unscrambled; nothing when it is missing or empty.
    auto line = [&](size_t n) -> std::optional<std::string> {
        if (n > lines.size())
            return std::nullopt;
        return UnscrambleValue(lines[n - 1], kSettingsSwitch);
    };
    auto number = [&](size_t n) -> int32_t {
        const auto text = line(n);
        const auto v = text ? ParseInt32(*text) : std::nullopt;
        return v.value_or(0);
    };

    if (lines.size() >= 2)
        s.NameWithVersion = line(2).value_or(std::string());
    s.PokazCo = number(3);
    s.UkryjPo = TimerValue(number(4), kMaxUkryjPo);
    s.BadajCo = TimerValue(number(5), kMaxBadajCo);
    s.LogMode = number(6);
    if (lines.size() >= 7)
        s.SoundOn = line(7) == "True";
    s.LogDetail = number(8);
    s.Volume = static_cast<uint16_t>(static_cast<uint32_t>(number(9)) & 0xFFFFu);
    return lines.size() >= 7;
}

std::string SettingsFile::BuildFile(const Settings& s)
{
    const std::string values[] = {
        kProductName,
        s.NameWithVersion,
        std::to_string(s.PokazCo),
        std::to_string(s.UkryjPo),
        std::to_string(s.BadajCo),
        std::to_string(s.LogMode),
        s.SoundOn ? "True" : "False",
        std::to_string(s.LogDetail),
        std::to_string(s.Volume),
    };
    std::string out;
    for (const std::string& v : values) {
        out += scrambler_.ScrambleValue(v, kSettingsSwitch);
        out += "\r\n";
    }
    return out;
}

bool SettingsFile::WriteSettings(const Settings& s)
{
    // Through a link of the user's own to the file it names: the link stays.
    return ReplaceFile(*writers_, FollowOwnLink(paths_.settingsFile), BuildFile(s));
}

} // namespace remindo
