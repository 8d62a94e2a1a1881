#include "shell/tray.h"

#include "platform/gui/trayicon.h"
#include "shell/glowny.h"

namespace remindo {

CoolTray::CoolTray(TFGlowny& glowny, TrayIcon& icon, int hostWaitMs) : glowny_(glowny), icon_(icon)
{
    menu_.setObjectName(QStringLiteral("PopMenu"));
    auto item = [this](const char* name, const QString& caption, void (TFGlowny::*handler)()) {
        QAction* a = menu_.addAction(caption);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, &glowny_, handler);
    };
    auto separator = [this](const char* name) { menu_.addSeparator()->setObjectName(QLatin1String(name)); };
    item("WprowadzDane", QStringLiteral("&Dane"), &TFGlowny::WprowadzDaneClick);
    item("Kalendarz1", QStringLiteral("&Kalendarz"), &TFGlowny::Kalendarz1Click);
    separator("N2");
    item("DajUstawienia", QStringLiteral("&Ustawienia"), &TFGlowny::DajUstawieniaClick);
    item("About", QStringLiteral("&O programie"), &TFGlowny::AboutClick);
    item("Pomoc", QStringLiteral("&Pomoc"), &TFGlowny::PomocClick);
    separator("N1");
    item("CloseApp", QStringLiteral("&Zakończ"), &TFGlowny::CloseAppClick);

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

void CoolTray::Start()
{
    icon_.Show(&menu_, [this] { glowny_.CoolTrayClick(); });
    if (!icon_.HostAvailable())
        wait_.start();
}

void CoolTray::HostWaitOver()
{
    if (!icon_.HostAvailable())
        glowny_.CoolTrayClick();
}

} // namespace remindo
