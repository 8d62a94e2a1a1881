#pragma once
// The folders the program is told by the system: where the user's
// application data lives and where the program itself sits. Paths are in the
// local file-name encoding.

#include <string>

namespace remindo {

// The XDG data folder ($XDG_DATA_HOME, normally ~/.local/share); not created
// here. Never empty: without any answer from the system it is
// ~/.local/share of the home folder.
std::string AppDataFolder();

// The folder of the running program (needs the application object).
std::string ProgramFolder();

// Where the installed program lives: the binary folder of the configured
// installation prefix.
std::string InstalledProgramFolder();

// The XDG state folder ($XDG_STATE_HOME when it names an absolute folder,
// otherwise ~/.local/state); not created here.
std::string StateFolder();

} // namespace remindo
