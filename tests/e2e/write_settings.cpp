// Writes the user's settings file as the settings dialog would, for the
// desktop test: e2e_write_settings POKAZCO UKRYJPO BADAJCO
#include "platform/core/apppaths.h"
#include "store/scramble.h"
#include "store/settingsfile.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <cstdlib>

using namespace remindo;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: e2e_write_settings POKAZCO UKRYJPO BADAJCO\n");
        return 2;
    }
    Settings s;
    s.PokazCo = std::atoi(argv[1]);
    s.UkryjPo = std::atoi(argv[2]);
    s.BadajCo = std::atoi(argv[3]);
    Scrambler scrambler;
    SettingsFile file(MakePaths(AppDataFolder()), scrambler, nullptr);
    QDir().mkpath(QString::fromStdString(file.GetPaths().settingsFolder));
    return file.WriteSettings(s) ? 0 : 1;
}
