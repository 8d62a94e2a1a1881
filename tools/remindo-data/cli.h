#pragma once
// remindo-data: look into, back up or script the reminders from the command
// line, on the program's own store and engine.

#include <string>
#include <vector>

namespace remindo::cli {

// Runs one command; answers the exit status (0 done, 2 a missing or damaged
// file or bad arguments). `out` receives UTF-8 text, `err` one-line errors.
int Run(const std::vector<std::string>& args, std::string& out, std::string& err);

} // namespace remindo::cli
