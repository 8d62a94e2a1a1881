#pragma once
// The settings file: nine scrambled lines (product name, name with version,
// seven settings) in the program's folder under the application-data folder.

#include "store/settings.h"

#include <cstdint>
#include <string>

namespace remindo {

class DiagnosticLog;
class FileWriterFactory;
class Scrambler;

// <appData>/Vendly/Remindo with Remindo.ini and Dane.dat in it. Paths are in
// the local file-name encoding.
Paths MakePaths(const std::string& appDataFolder);

// Largest values whose timer interval still fits in 32 bits of milliseconds.
inline constexpr int32_t kMaxBadajCo = 35791;   // minutes
inline constexpr int32_t kMaxUkryjPo = 2147483; // seconds

class SettingsFile {
public:
    // `log` may be null: lines handed over then are dropped.
    SettingsFile(Paths paths, Scrambler& scrambler, DiagnosticLog* log);

    // At start-up: reads the settings, or creates the folder and writes the
    // defaults when there is no usable file.
    void PrepareSettings(Settings& s);
    // False when the file is missing, unreadable, not ours, or shorter than
    // seven lines; values read before that point stay read.
    bool ReadSettings(Settings& s);
    // Replaces the file; false (old file untouched) when that fails.
    bool WriteSettings(const Settings& s);
    // Lines 3 to 9 back to their defaults; the name with version stays.
    static void SetDefaultSettings(Settings& s);

    const Paths& GetPaths() const { return paths_; }
    // The file's bytes as WriteSettings writes them.
    std::string BuildFile(const Settings& s);
    // Tests hand in writers that fail; null restores the real one.
    void SetWriters(FileWriterFactory* writers);

private:
    Paths paths_;
    Scrambler& scrambler_;
    DiagnosticLog* log_;
    FileWriterFactory* writers_;
};

} // namespace remindo
