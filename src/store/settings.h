#pragma once
// The program-wide settings and the paths of the program's files.

#include "remindo_version.h"

#include <cstdint>
#include <string>

namespace remindo {

inline constexpr const char* kProductName = "Remindo";
inline constexpr const char* kProductNameWithVersion = "Remindo " REMINDO_VERSION;

struct Settings {
    std::string NameWithVersion = kProductNameWithVersion;
    int32_t PokazCo = 60;  // minutes between two showings of a reminder
    int32_t UkryjPo = 15;  // seconds before the reminder window hides itself
    int32_t BadajCo = 5;   // minutes between examination passes
    int32_t LogMode = 0;   // 0 off; 1, 2 to a file (2: test mode); more: memory only
    bool SoundOn = true;
    int32_t LogDetail = 0; // how much the diagnostic log receives
    uint16_t Volume = 30000;
};

struct Paths {
    std::string settingsFolder; // <data>/Vendly/Remindo
    std::string settingsFile;   // .../Remindo.ini
    std::string dataFile;       // .../Dane.dat
};

} // namespace remindo
