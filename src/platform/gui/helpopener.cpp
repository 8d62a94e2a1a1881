#include "platform/gui/helpopener.h"

#include <QDesktopServices>

namespace remindo {

bool DesktopHelpOpener::OpenUrl(const QUrl& url, QWidget* /*owner*/)
{
    // The desktop picks the program; the owner matters only to platforms that
    // parent their error dialogs, which the desktop portal does itself.
    return QDesktopServices::openUrl(url);
}

} // namespace remindo
