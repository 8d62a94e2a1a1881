#include "resources/resources.h"

#include <QtGlobal>

#include <mutex>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterRemindoResources()
{
    Q_INIT_RESOURCE(remindo);
}

namespace remindo {

void InitResources()
{
    static std::once_flag once;
    std::call_once(once, RegisterRemindoResources);
}

} // namespace remindo
