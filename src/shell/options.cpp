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
            o.error = "tylko jedna z opcji --list, --calendar, --settings, --quit, --autostart naraz";
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
           "  --quit       kończy działający program\n"
           "  --autostart  start przy logowaniu: nic nie robi, gdy Remindo nie było\n"
           "               jeszcze używane (brak folderu danych)\n"
           "  -h, --help   ten opis\n"
           "  --version    wersja programu\n"
           "\n"
           "Gdy program nie działa, --list, --calendar i --settings najpierw go uruchamiają.\n";
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
    case Request::Quit:
        return "zakoncz";
    default:
        return {};
    }
}

} // namespace remindo
