#include "shell/tray.h"

#include "platform/gui/trayicon.h"
#include "shell/glowny.h"

namespace remindo {

namespace {

struct MenuItem {
    const char* name;
    const char* caption; // "-" for a separator
    void (TFGlowny::*handler)();
};

const MenuItem kItems[] = {
    {"WprowadzDane", "&Dane", &TFGlowny::WprowadzDaneClick},
    {"Kalendarz1", "&Kalendarz", &TFGlowny::Kalendarz1Click},
    {"N2", "-", nullptr},
    {"DajUstawienia", "&Ustawienia", &TFGlowny::DajUstawieniaClick},
    {"About", "&O programie", &TFGlowny::AboutClick},
    {"Pomoc", "&Pomoc", &TFGlowny::PomocClick},
    {"N1", "-", nullptr},
    {"CloseApp", "&Zakończ", &TFGlowny::CloseAppClick},
};

} // namespace

CoolTray::CoolTray(TrayIcon& icon, int hostWaitMs) : icon_(icon)
{
    menu_.setObjectName(QStringLiteral("PopMenu"));
    for (const MenuItem& item : kItems) {
        QAction* a = item.handler ? menu_.addAction(QString::fromUtf8(item.caption)) : menu_.addSeparator();
        a->setObjectName(QLatin1String(item.name));
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
        if (glowny_)
            glowny_->CoolTrayClick();
    });
}

void CoolTray::Attach(TFGlowny& glowny)
{
    glowny_ = &glowny;
    for (const MenuItem& item : kItems)
        if (item.handler)
            connect(Item(item.name), &QAction::triggered, glowny_, item.handler);
    if (!icon_.HostAvailable())
        wait_.start();
}

bool CoolTray::IconShown()
{
    return icon_.HostAvailable();
}

void CoolTray::HostWaitOver()
{
    if (glowny_ && !icon_.HostAvailable())
        glowny_->ShowNoTrayPanel();
}

} // namespace remindo
