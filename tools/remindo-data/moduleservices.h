#pragma once
// The desktop's services from libremindo-data-qt.so, loaded at the first
// need, so that the commands that need no Qt never load it.

#include "cli.h"

#include <memory>
#include <string>
#include <vector>

namespace remindo::cli {

class ModuleServices {
public:
    // Looks in `folders` in turn; by default beside the program, then where
    // the installed program's modules lie.
    explicit ModuleServices(std::vector<std::string> folders = DefaultFolders());
    ~ModuleServices();

    // The services, or nullptr with a one-line reason naming the module.
    DesktopServices* Get(std::string& why);

    static std::vector<std::string> DefaultFolders();

private:
    std::vector<std::string> folders_;
    bool tried_ = false;
    std::string error_;
    std::unique_ptr<DesktopServices> services_;
};

} // namespace remindo::cli
