#include "shell/options.h"

#include <string_view>

namespace remindo {

namespace {

struct Known {
    std::string_view word;
    Request request;
};

constexpr Known kKnown[] = {
    {"--list", Request::List},         {"--calendar", Request::Calendar}, {"--settings", Request::Settings},
    {"--about", Request::About},
    {"--quit", Request::Quit},         {"--autostart", Request::Autostart}, {"--help", Request::Help},
    {"-h", Request::Help},             {"--version", Request::Version},
};

} // namespace

Options ParseOptions(const std::vector<std::string>& args)
{
    Options o;
    if (!args.empty())
        o.qtArgs.push_back(args.front());
    bool chosen = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const Known* hit = nullptr;
        for (const Known& k : kKnown)
            if (a == k.word)
                hit = &k;
        if (!hit) {
            // Qt's own options have one dash; a word with two that is not
            // ours is a typing error better reported than ignored.
            if (a.rfind("--", 0) == 0 && o.error.empty())
                o.error = "nieznana opcja: " + a;
            o.qtArgs.push_back(a);
            continue;
        }
        if (hit->request == Request::Help || hit->request == Request::Version) {
            // Asked for help, the rest of the line does not matter.
            o.request = hit->request;
            o.error.clear();
            return o;
        }
        if (chosen && o.request != hit->request && o.error.empty())
            o.error = "tylko jedna z opcji --list, --calendar, --settings, --about, --quit, --autostart naraz";
        o.request = hit->request;
        chosen = true;
    }
    return o;
}

std::string HelpText()
{
    return "Użycie: remindo [OPCJA]\n"
           "Remindo przypomina o ważnych zdarzeniach z obszaru powiadomień.\n"
           "Działa jedna kopia programu; opcje zwracają się do niej.\n"
           "\n"
           "  --list       otwiera listę zdarzeń\n"
           "  --calendar   otwiera kalendarz\n"
           "  --settings   otwiera ustawienia\n"
           "  --about      otwiera okno O programie\n"
           "  --quit       kończy działający program\n"
           "  --autostart  start przy logowaniu: nic nie robi, gdy Remindo nie było\n"
           "               jeszcze używane (brak folderu danych)\n"
           "  -h, --help   ten opis\n"
           "  --version    wersja programu\n"
           "\n"
           "Gdy program nie działa, --list, --calendar, --settings i --about najpierw go\n"
           "uruchamiają. Gdy okna nie da się otworzyć, bo inne okno programu (albo jego\n"
           "pytanie) stoi na drodze, to okno wysuwa się na wierzch, a na standardowe\n"
           "wyjście błędów trafia wiersz, który je nazywa.\n";
}

std::string ActionOf(Request r)
{
    switch (r) {
    case Request::List:
        return "dane";
    case Request::Calendar:
        return "kalendarz";
    case Request::Settings:
        return "ustawienia";
    case Request::About:
        return "o-programie";
    case Request::Quit:
        return "zakoncz";
    default:
        return {};
    }
}

std::string InTheWayLine(Request r, const std::string& inTheWay)
{
    const char* asked = "listy zdarzeń";
    if (r == Request::Calendar)
        asked = "kalendarza";
    else if (r == Request::Settings)
        asked = "ustawień";
    else if (r == Request::About)
        asked = "O programie";
    return std::string("remindo: okno ") + asked + " nie zostało otwarte, bo na ekranie jest " + inTheWay +
           "; wysunięto je na wierzch\n";
}

} // namespace remindo
