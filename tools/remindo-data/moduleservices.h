#pragma once
// What the tool keeps in modules, loaded at the first need, so that the
// commands that need none of it never load it: the desktop's services from
// libremindo-data-qt.so (Qt), the iCalendar codec from libremindo-data-ics.so
// (libical and ICU).

#include "cli.h"
#include "ical/icsevent.h"
#include "qtservices.h"

#include <memory>
#include <string>
#include <vector>

namespace remindo::cli {

// Beside the program, then where the installed program's modules lie.
std::vector<std::string> DefaultModuleFolders();

// Looks for `file` in `folders` in turn and answers its entry point `entry`,
// or nullptr with a one-line reason naming the module.
void* LoadModuleEntry(const std::vector<std::string>& folders, const char* file, const char* entry,
                      std::string& why);

// One object of type T made by a module's entry point. The object goes
// before the process ends; the module itself stays loaded, as Qt does not
// like being unloaded.
template <typename T>
class Module {
public:
    Module(const char* file, const char* entry, std::vector<std::string> folders = DefaultModuleFolders())
        : file_(file), entry_(entry), folders_(std::move(folders))
    {
    }

    // The object, or nullptr with a one-line reason naming the module.
    T* Get(std::string& why)
    {
        if (!tried_) {
            tried_ = true;
            if (void* entry = LoadModuleEntry(folders_, file_, entry_, error_))
                object_.reset(reinterpret_cast<T* (*)()>(entry)());
        }
        if (!object_)
            why = error_;
        return object_.get();
    }

private:
    const char* file_;
    const char* entry_;
    std::vector<std::string> folders_;
    bool tried_ = false;
    std::string error_;
    std::unique_ptr<T> object_;
};

struct ModuleServices : Module<DesktopServices> {
    ModuleServices() : Module(kServicesModule, kServicesModuleEntry) {}
};

struct IcsModule : Module<IcsCodec> {
    IcsModule() : Module(kIcsModule, kIcsModuleEntry) {}
};

struct NetModule : Module<NetServices> {
    NetModule() : Module(kNetModule, kNetModuleEntry) {}
};

} // namespace remindo::cli
