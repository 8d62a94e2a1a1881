// The settings reader on arbitrary bytes: values stay in their ranges, a
// file read as usable survives a write and a second read, and start-up
// always leaves a usable file behind.
#include "fuzzhelpers.h"

#include "store/scramble.h"
#include "store/settingsfile.h"

#include <cstdint>

using namespace remindo;

namespace {

bool SameValues(const Settings& a, const Settings& b)
{
    return a.PokazCo == b.PokazCo && a.UkryjPo == b.UkryjPo && a.BadajCo == b.BadajCo && a.LogMode == b.LogMode &&
           a.SoundOn == b.SoundOn && a.LogDetail == b.LogDetail && a.Volume == b.Volume;
}

bool InRange(const Settings& s)
{
    return s.UkryjPo >= 0 && s.UkryjPo <= kMaxUkryjPo && s.BadajCo >= 0 && s.BadajCo <= kMaxBadajCo;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const Paths paths = [] {
        const Paths p = MakePaths(fuzz::PrivateFolder());
        std::filesystem::create_directories(p.settingsFolder);
        return p;
    }();
    static Scrambler scrambler(99);
    SettingsFile file(paths, scrambler, nullptr);

    fuzz::WriteBytes(paths.settingsFile, data, size);
    Settings s;
    if (file.ReadSettings(s)) {
        fuzz::Check(InRange(s), "timer values within range");
        fuzz::Check(file.WriteSettings(s), "usable settings write");
        Settings again;
        fuzz::Check(file.ReadSettings(again), "written settings read");
        fuzz::Check(SameValues(s, again), "same values after a write");
    }

    fuzz::WriteBytes(paths.settingsFile, data, size);
    Settings started;
    file.PrepareSettings(started);
    fuzz::Check(InRange(started), "timer values within range after start-up");
    Settings reread;
    fuzz::Check(file.ReadSettings(reread), "start-up leaves a usable file");
    fuzz::Check(SameValues(started, reread), "start-up's values are the file's");
    return 0;
}
