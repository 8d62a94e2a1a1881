#include "shell/remote.h"

#include "app/appstate.h"
#include "shell/datawatch.h"
#include "shell/program.h"
#include "store/atomicfile.h"
#include "store/filestamp.h"
#include "shell/tray.h"
#include "windows/warning.h"

#include <QTimer>

namespace remindo {

RemoteControl::RemoteControl(AppState& state, Program& program, CoolTray& tray, DataFileWatch& watch)
    : state_(state), program_(program), tray_(tray), watch_(watch)
{
}

std::string WindowForPeople(const QWidget& w)
{
    if (const auto* box = qobject_cast<const TFWarning*>(&w))
        return box->Offers(kAnswerTak) ? "okno pytania" : "okno komunikatu";
    for (const Action& a : Actions())
        if (!a.window.empty() && w.objectName() == QLatin1String(a.window.data(), a.window.size()))
            return "okno " + std::string(a.forPeople);
    // The windows no action opens.
    const struct {
        const char* window;
        const char* words;
    } names[] = {
        {"TFWprowadzane", "okno edycji zdarzenia"},
        {"TFCzestosc", "okno częstotliwości zdarzenia"},
        {"TFGlowny", "okno przypomnienia"},
    };
    for (const auto& n : names)
        if (w.objectName() == QLatin1String(n.window))
            return n.words;
    return "okno " + w.windowTitle().toStdString();
}

void RemoteControl::Activate()
{
    ActivateAction("dane");
}

ActionAnswer RemoteControl::ActivateAction(const std::string& name)
{
    const Action* action = FindAction(name);
    if (!action)
        return {};
    // Told now, done after the answer: a window opened here may start an
    // event loop of its own, and the caller must not wait for it.
    const QWidget* inTheWay = action->does == Does::OpenWindow ? program_.WindowInTheWay(name) : nullptr;
    QTimer::singleShot(0, &program_, [this, name] { program_.ActivateAction(name); });
    return {true, inTheWay ? WindowForPeople(*inTheWay) : std::string()};
}

bool RemoteControl::HasTrayIcon()
{
    return tray_.IconShown();
}

ReloadAnswer RemoteControl::ReloadData(const std::string& path)
{
    const FileStamp written = StampOf(FollowOwnLink(path));
    const FileStamp ours = StampOf(state_.dataFile().Target());
    if (!written.exists || written.device != ours.device || written.inode != ours.inode)
        return ReloadAnswer::OtherFile;
    return watch_.Check();
}

} // namespace remindo
