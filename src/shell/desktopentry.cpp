// remindo-desktop-entry HEAD EXEC OUT: the menu entry, its head (configured
// from resources/app.desktop.in) followed by the actions of the program's
// own list, each starting EXEC with its option, so that the entry offers
// exactly what the running copy answers.

#include "shell/actions.h"

#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    std::ifstream head(argv[1], std::ios::binary);
    std::string names;
    std::string groups;
    for (const remindo::Action& a : remindo::Actions())
        if (!a.entryName.empty()) {
            names += std::string(a.name) + ';';
            groups += "\n[Desktop Action " + std::string(a.name) + "]\nName=" + std::string(a.entryName) +
                      "\nExec=" + argv[2] + ' ' + std::string(a.option) + '\n';
        }
    std::ofstream out(argv[3], std::ios::binary);
    out << head.rdbuf() << "Actions=" << names << '\n' << groups;
    return head && out ? 0 : 1;
}
