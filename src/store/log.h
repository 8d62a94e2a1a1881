#pragma once
// The diagnostic log: lines stamped with the engine's today and the time of
// the current pass. The day's file holds every line since start-up; a flush
// writes only what it adds, and written lines leave memory.

#include "dates/date.h"

#include <cstdint>
#include <utility>

#include <string>
#include <string_view>
#include <vector>

namespace remindo {

class FileWriterFactory;
class RegionalFormats;

class DiagnosticLog {
public:
    // `dataAkt` and `passTime` are the engine's today and pass time, read at
    // every line; `formats` gives the stamp's short date and long time.
    DiagnosticLog(const Date& dataAkt, const DateTime& passTime, const RegionalFormats& formats);

    void SetMode(int32_t logMode) { mode_ = logMode; }
    int32_t Mode() const { return mode_; }
    void SetFolder(std::string folder) { folder_ = std::move(folder); }
    const std::string& Folder() const { return folder_; }

    // Lines are recorded at all (LogMode not 0). Callers may skip building a line when false.
    bool Recording() const { return mode_ != 0; }

    // `text` is Windows-1250.
    void WriteLog(std::string_view text);
    // Brings the day's file up to every line so far (LogMode 1 or 2). A flush
    // that cannot write changes no file and says nothing; its lines wait.
    void FlushLog();

    // Every line since start-up: those the day's file holds and those not
    // yet written. Built when asked (tests, diagnostics) and kept until the
    // next line or flush; the program itself never asks, so its memory
    // holds only the unwritten lines.
    const std::vector<std::string>& Lines() const;
    // How many lines wait in memory for the next flush; at most
    // kMostWaitingLines, the oldest dropped first.
    size_t UnwrittenLines() const { return lines_.size(); }
    static constexpr size_t kMostWaitingLines = 20000;
    // The day's file name, e.g. 2026127.txt for 7 December 2026.
    static std::string FileNameFor(Date day);

    // Chooses `LogFolder` at start-up and creates it: the folder Test beside
    // the program while it runs from a folder of the user's own (a build
    // folder); for a program in `installedFolder` (its configured place), in
    // anybody else's folder, or where Test cannot be made, Vendly/Remindo/Test
    // in `stateFolder` ($XDG_STATE_HOME).
    static std::string PrepareLogFolder(const std::string& programFolder, const std::string& installedFolder,
                                        const std::string& stateFolder);

    // Tests hand in writers that fail; null restores the real one.
    void SetWriters(FileWriterFactory* writers);

private:
    const Date& dataAkt_;
    const DateTime& passTime_;
    const RegionalFormats& formats_;
    int32_t mode_ = 0;
    std::string folder_;
    std::vector<std::string> lines_;
    size_t dropped_ = 0; // waiting lines dropped since the last flush that wrote
    std::string lastFile_; // the file of the last flush, holding every line written
    mutable std::vector<std::string> allLines_;
    mutable bool allLinesValid_ = false;
    FileWriterFactory* writers_;
};

} // namespace remindo
