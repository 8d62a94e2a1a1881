#include "shell/actions.h"

namespace remindo {

namespace {

// In the tray menu's order.
constexpr Action kActions[] = {
    {"dane", Does::OpenWindow, "TFDane", "listy zdarzeń", "WprowadzDane", "&Dane", "", "--list",
     "otwiera listę zdarzeń", "Lista zdarzeń"},
    {"kalendarz", Does::OpenWindow, "TFkalendarz", "kalendarza", "Kalendarz1", "&Kalendarz", "", "--calendar",
     "otwiera kalendarz", "Kalendarz"},
    {"ustawienia", Does::OpenWindow, "TFUstawienia", "ustawień", "DajUstawienia", "&Ustawienia", "N2",
     "--settings", "otwiera ustawienia", "Ustawienia"},
    {"synchronizuj", Does::OpenWindow, "TFSynchronizacja", "synchronizacji", "Synchronizuj", "&Synchronizacja", "",
     "--sync", "synchronizuje teraz z kalendarzem i otwiera okno synchronizacji", "Synchronizacja", true},
    {"o-programie", Does::OpenWindow, "TFAbout", "O programie", "About", "&O programie", "", "--about",
     "otwiera okno O programie", "O programie"},
    {"pomoc", Does::OpenHelp, "", "", "Pomoc", "&Pomoc", "", "", "", ""},
    {"zakoncz", Does::End, "", "", "CloseApp", "&Zakończ", "N1", "--quit", "kończy działający program",
     "Zakończ"},
};

} // namespace

std::span<const Action> Actions()
{
    return kActions;
}

const Action* FindAction(std::string_view name)
{
    for (const Action& a : kActions)
        if (a.name == name)
            return &a;
    return nullptr;
}

const Action* ActionForOption(std::string_view option)
{
    for (const Action& a : kActions)
        if (!a.option.empty() && a.option == option)
            return &a;
    return nullptr;
}

} // namespace remindo
