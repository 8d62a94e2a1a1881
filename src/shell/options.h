#pragma once
// The program's command line. Our own options are read here; whatever else
// is given goes on to Qt (its -platform, -display and the like). No Qt: the
// answers to --help and --version come before any display is touched.

#include "shell/actions.h"

#include <string>
#include <vector>

namespace remindo {

enum class Request {
    Run,       // plain start
    Open,      // an action's option that opens a window (--list, --calendar, ...)
    Quit,      // --quit: end the running copy
    Autostart, // --autostart: the log-on start, only for a user who has data
    Help,      // --help, -h
    Version,   // --version
};

struct Options {
    Request request = Request::Run;
    const Action* action = nullptr;   // what Open and Quit ask of the running copy
    std::string error;                // a command line we cannot follow, in words
    std::vector<std::string> qtArgs;  // the program's name and the arguments left for Qt
};

// `args` is the whole command line, the program's name first.
Options ParseOptions(const std::vector<std::string>& args);

// What --help prints (UTF-8).
std::string HelpText();

// What a request prints on standard error when the running copy brought
// `inTheWay` (its answer, "okno kalendarza") forward instead of opening the
// window of `asked`; the plain start (null) asks for the list.
std::string InTheWayLine(const Action* asked, const std::string& inTheWay);

} // namespace remindo
