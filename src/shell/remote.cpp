#include "shell/remote.h"

#include "app/appstate.h"
#include "shell/datawatch.h"
#include "shell/glowny.h"
#include "store/atomicfile.h"
#include "store/filestamp.h"
#include "shell/tray.h"

#include <QTimer>

namespace remindo {

RemoteControl::RemoteControl(AppState& state, TFGlowny& glowny, CoolTray& tray, DataFileWatch& watch)
    : state_(state), glowny_(glowny), tray_(tray), watch_(watch)
{
}

void RemoteControl::Activate()
{
    ActivateAction("dane");
}

bool RemoteControl::ActivateAction(const std::string& name)
{
    if (!TFGlowny::KnownAction(name))
        return false;
    // After the answer: a window opened here may start an event loop of its
    // own, and the caller must not wait for it.
    QTimer::singleShot(0, &glowny_, [this, name] { glowny_.ActivateAction(name); });
    return true;
}

bool RemoteControl::HasTrayIcon()
{
    return tray_.IconShown();
}

ReloadAnswer RemoteControl::ReloadData(const std::string& path)
{
    const FileStamp written = StampOf(FollowOwnLink(path));
    const FileStamp ours = StampOf(state_.dataFile.Target());
    if (!written.exists || written.device != ours.device || written.inode != ours.inode)
        return ReloadAnswer::OtherFile;
    return watch_.Check();
}

} // namespace remindo
