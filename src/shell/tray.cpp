#include "shell/tray.h"

#include "platform/gui/trayicon.h"
#include "shell/program.h"

namespace remindo {

namespace {

QString Name(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

CoolTray::CoolTray(TrayIcon& icon, int hostWaitMs) : icon_(icon)
{
    menu_.setObjectName(QStringLiteral("PopMenu"));
    for (const Action& action : Actions()) {
        if (!action.separator.empty())
            menu_.addSeparator()->setObjectName(Name(action.separator));
        menu_.addAction(Name(action.caption))->setObjectName(Name(action.menuItem));
    }
    wait_.setSingleShot(true);
    wait_.setInterval(hostWaitMs);
    connect(&wait_, &QTimer::timeout, this, &CoolTray::HostWaitOver);
}

QAction* CoolTray::Item(const char* name) const
{
    for (QAction* a : menu_.actions())
        if (a->objectName() == QLatin1String(name))
            return a;
    return nullptr;
}

void CoolTray::ShowIcon()
{
    icon_.Show(&menu_, [this] {
        if (program_)
            program_->CoolTrayClick();
    });
}

void CoolTray::Attach(Program& program)
{
    program_ = &program;
    for (const Action& action : Actions())
        connect(Item(std::string(action.menuItem).c_str()), &QAction::triggered, program_,
                [p = program_, &action] { p->MenuClick(action); });
    if (!icon_.HostAvailable())
        wait_.start();
}

bool CoolTray::IconShown()
{
    return icon_.HostAvailable();
}

void CoolTray::HostWaitOver()
{
    if (program_ && !icon_.HostAvailable())
        program_->ShowNoTrayPanel();
}

} // namespace remindo
