#pragma once
// remindo-data: look into, back up or script the reminders from the command
// line, on the program's own store and engine.

#include "ical/icsevent.h"
#include "netservices.h"
#include "store/formats.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace remindo::cli {

// What the tool asks of the desktop: the user's data folder and regional
// formats. They sit on Qt, whose loading alone would cost more than most
// commands take, so the tool asks for them only when a command needs them.
class DesktopServices {
public:
    virtual ~DesktopServices() = default;
    // The XDG data folder, in the local file-name encoding.
    virtual std::string AppDataFolder() = 0;
    // The system's regional formats, set up at the first call.
    virtual const RegionalFormats& Formats() = 0;
    // Asks a running Remindo to read the data file at `path` again, over the
    // session bus. Its answer (a ReloadAnswer of store/filestamp.h), or -1
    // when none runs or none can be asked.
    virtual int AskToReload(const std::string& path)
    {
        (void)path;
        return -1;
    }
};

// Answers the services, or nullptr with a one-line reason in `why`.
using ServicesSource = std::function<DesktopServices*(std::string& why)>;

// Runs one command; answers the exit status (0 done, 1 a failure while
// working: a file missing, damaged, unreadable or unwritable, or services
// that cannot be had; 2 a usage error). `out` receives UTF-8
// text, `err` one-line errors.
// `net` serves `sync`, which reads its password from `in` (standard input)
// when told --password-stdin.
int Run(const std::vector<std::string>& args, std::string& out, std::string& err, const ServicesSource& services,
        const IcsSource& ics = {}, const NetSource& net = {}, std::istream* in = nullptr);

} // namespace remindo::cli
