#pragma once
// The desktop's services for remindo-data straight on Qt: the tool gets them
// from its module (libremindo-data-qt.so), tests use them in-process.

#include "cli.h"

#include <memory>

namespace remindo::cli {

class QtDesktopServices final : public DesktopServices {
public:
    QtDesktopServices();
    ~QtDesktopServices() override;
    std::string AppDataFolder() override;
    const RegionalFormats& Formats() override;
    int AskToReload(const std::string& path) override;

private:
    std::unique_ptr<RegionalFormats> formats_;
};

// The module's file name and its one entry point, which answers a new
// QtDesktopServices for the caller to delete.
inline constexpr const char* kServicesModule = "libremindo-data-qt.so";
inline constexpr const char* kServicesModuleEntry = "remindo_data_services";

} // namespace remindo::cli
