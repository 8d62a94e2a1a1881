#include "moduleservices.h"

#include "qtservices.h"

#include <filesystem>
#include <system_error>

#include <dlfcn.h>
#include <unistd.h>

namespace remindo::cli {

ModuleServices::ModuleServices(std::vector<std::string> folders) : folders_(std::move(folders)) {}

// The services' code lives in the module: they go first. The module itself
// stays loaded; Qt does not like being unloaded.
ModuleServices::~ModuleServices() { services_.reset(); }

std::vector<std::string> ModuleServices::DefaultFolders()
{
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
    const std::filesystem::path folder = program.parent_path();
    std::vector<std::string> folders{folder.native()};
#ifdef REMINDO_MODULE_DIR
    folders.push_back((folder / REMINDO_MODULE_DIR).lexically_normal().native());
#endif
    return folders;
}

DesktopServices* ModuleServices::Get(std::string& why)
{
    if (!tried_) {
        tried_ = true;
        using Entry = DesktopServices* (*)();
        // The reason told is that of a module that is there but does not
        // load, or else that of the last place looked in.
        std::string reason = "not found";
        bool present = false;
        for (const std::string& folder : folders_) {
            const std::string path = folder + "/" + kServicesModule;
            void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!module) {
                const char* e = ::dlerror();
                const bool here = ::access(path.c_str(), F_OK) == 0;
                if (here || !present)
                    reason = e ? e : "not loaded";
                present = present || here;
                continue;
            }
            if (auto entry = reinterpret_cast<Entry>(::dlsym(module, kServicesModuleEntry))) {
                services_.reset(entry());
                break;
            }
            const char* e = ::dlerror();
            reason = e ? e : "no entry point";
            present = true;
        }
        if (!services_)
            error_ = std::string("the module ") + kServicesModule + " cannot be loaded: " + reason;
    }
    if (!services_)
        why = error_;
    return services_.get();
}

} // namespace remindo::cli
