#include "moduleservices.h"

#include <filesystem>
#include <system_error>

#include <dlfcn.h>
#include <unistd.h>

namespace remindo::cli {

std::vector<std::string> DefaultModuleFolders()
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

void* LoadModuleEntry(const std::vector<std::string>& folders, const char* file, const char* entry,
                      std::string& why)
{
    // The reason told is that of a module that is there but does not load,
    // or else that of the last place looked in.
    std::string reason = "not found";
    bool present = false;
    for (const std::string& folder : folders) {
        const std::string path = folder + "/" + file;
        void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            const char* e = ::dlerror();
            const bool here = ::access(path.c_str(), F_OK) == 0;
            if (here || !present)
                reason = e ? e : "not loaded";
            present = present || here;
            continue;
        }
        if (void* found = ::dlsym(module, entry))
            return found;
        const char* e = ::dlerror();
        reason = e ? e : "no entry point";
        present = true;
    }
    why = std::string("the module ") + file + " cannot be loaded: " + reason;
    return nullptr;
}

} // namespace remindo::cli
