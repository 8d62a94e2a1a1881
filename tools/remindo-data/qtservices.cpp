#include "qtservices.h"

#include "platform/core/apppaths.h"
#include "platform/core/qtregionalformats.h"

namespace remindo::cli {

QtDesktopServices::QtDesktopServices() = default;
QtDesktopServices::~QtDesktopServices() = default;

std::string QtDesktopServices::AppDataFolder() { return remindo::AppDataFolder(); }

const RegionalFormats& QtDesktopServices::Formats()
{
    if (!formats_)
        formats_ = std::make_unique<QtRegionalFormats>();
    return *formats_;
}

} // namespace remindo::cli
