#include "shell/options.h"

#include <algorithm>
#include <string_view>

namespace remindo {

namespace {

// The options that are no action of the running copy's.
constexpr struct {
    std::string_view word;
    Request request;
} kOwn[] = {
    {"--autostart", Request::Autostart}, {"--help", Request::Help}, {"-h", Request::Help},
    {"--version", Request::Version},
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
        Request request = Request::Run;
        const Action* action = ActionForOption(a);
        if (action)
            request = action->does == Does::End ? Request::Quit : Request::Open;
        for (const auto& own : kOwn)
            if (a == own.word)
                request = own.request;
        if (request == Request::Run) {
            // Qt's own options have one dash; a word with two that is not
            // ours is a typing error better reported than ignored.
            if (a.rfind("--", 0) == 0 && o.error.empty())
                o.error = "nieznana opcja: " + a;
            o.qtArgs.push_back(a);
            continue;
        }
        if (request == Request::Help || request == Request::Version) {
            // Asked for help, the rest of the line does not matter.
            o.request = request;
            o.action = nullptr;
            o.error.clear();
            return o;
        }
        if (chosen && (o.request != request || o.action != action) && o.error.empty()) {
            o.error = "tylko jedna z opcji ";
            for (const Action& a : Actions())
                if (!a.option.empty())
                    o.error += std::string(a.option) + ", ";
            o.error += "--autostart naraz";
        }
        o.request = request;
        o.action = action;
        chosen = true;
    }
    return o;
}

std::string HelpText()
{
    std::string text = "Użycie: remindo [OPCJA]\n"
                       "Remindo przypomina o ważnych zdarzeniach z obszaru powiadomień.\n"
                       "Działa jedna kopia programu; opcje zwracają się do niej.\n"
                       "\n";
    std::vector<std::string_view> windows;
    for (const Action& a : Actions()) {
        if (a.option.empty())
            continue;
        const std::string word(a.option);
        text += "  " + word + std::string(std::max<size_t>(word.size() + 1, 13) - word.size(), ' ') +
                std::string(a.usage) + '\n';
        if (a.does == Does::OpenWindow)
            windows.push_back(a.option);
    }
    text += "  --autostart  start przy logowaniu: nic nie robi, gdy Remindo nie było\n"
            "               jeszcze używane (brak folderu danych)\n"
            "  -h, --help   ten opis\n"
            "  --version    wersja programu\n";
    text += "\nGdy program nie działa,";
    for (size_t i = 0; i < windows.size(); ++i)
        text += std::string(i == 0 ? " " : i + 1 == windows.size() ? " i " : ", ") + std::string(windows[i]);
    return text + " najpierw go\n"
                  "uruchamiają. Gdy okna nie da się otworzyć, bo inne okno programu (albo jego\n"
                  "pytanie) stoi na drodze, to okno wysuwa się na wierzch, a na standardowe\n"
                  "wyjście błędów trafia wiersz, który je nazywa.\n";
}

std::string InTheWayLine(const Action* asked, const std::string& inTheWay)
{
    const std::string_view words = (asked ? asked : FindAction("dane"))->forPeople;
    return "remindo: okno " + std::string(words) + " nie zostało otwarte, bo na ekranie jest " + inTheWay +
           "; wysunięto je na wierzch\n";
}

} // namespace remindo
