// Writes the user's settings file as the settings dialog would, for the
// desktop test: e2e_write_settings POKAZCO UKRYJPO BADAJCO; with --read it
// prints the file's POKAZCO UKRYJPO BADAJCO instead.
#include "platform/core/apppaths.h"
#include "store/scramble.h"
#include "store/settingsfile.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace remindo;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Scrambler scrambler;
    SettingsFile file(MakePaths(AppDataFolder()), scrambler, nullptr);
    if (argc == 2 && std::strcmp(argv[1], "--read") == 0) {
        Settings s;
        if (!file.ReadSettings(s))
            return 1;
        std::printf("%d %d %d\n", int(s.PokazCo), int(s.UkryjPo), int(s.BadajCo));
        return 0;
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: e2e_write_settings POKAZCO UKRYJPO BADAJCO | --read\n");
        return 2;
    }
    Settings s;
    s.PokazCo = std::atoi(argv[1]);
    s.UkryjPo = std::atoi(argv[2]);
    s.BadajCo = std::atoi(argv[3]);
    QDir().mkpath(QString::fromStdString(file.GetPaths().settingsFolder));
    return file.WriteSettings(s) ? 0 : 1;
}
