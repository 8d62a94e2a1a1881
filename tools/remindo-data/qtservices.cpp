#include "qtservices.h"

#include "platform/core/apppaths.h"
#include "platform/core/qtregionalformats.h"

#ifdef QT_DBUS_LIB
#include "platform/core/appbus.h"
#endif

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

int QtDesktopServices::AskToReload(const std::string& path)
{
#ifdef QT_DBUS_LIB
    const BusClient bus;
    if (!bus.Reachable())
        return -1;
    const std::optional<ReloadAnswer> a = bus.ReloadData(path);
    return a ? int(*a) : -1;
#else
    (void)path;
    return -1;
#endif
}

} // namespace remindo::cli
