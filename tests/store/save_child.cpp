// The other side of the fault tests: a process that saves the data file.
//   save_child loop <file>        saves list A and list B in turn, forever;
//                                 prints "ready" after the first save
//   save_child once <file> <uid> [load]
//                                 becomes user <uid>, loads the file when
//                                 asked, saves list A once; exit 0 saved,
//                                 1 refused, 3 cannot change user
#include "samplelists.h"

#include "store/datafile.h"
#include "store/fixedformats.h"
#include "store/messages.h"
#include "store/scramble.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <grp.h>
#include <unistd.h>

using namespace remindo;

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    const std::string mode = argv[1];
    FixedFormats formats;
    ScriptedMessages messages;
    Scrambler scrambler(5);
    DataFile file(argv[2], messages, formats, scrambler);

    if (mode == "loop") {
        const Komunikaty a = samples::ListA();
        const Komunikaty b = samples::ListB();
        if (!file.SaveDataFile(b))
            return 1;
        std::printf("ready\n");
        std::fflush(stdout);
        for (;;) {
            file.SaveDataFile(a);
            file.SaveDataFile(b);
        }
    }
    if (mode == "once" && argc >= 4) {
        const auto uid = static_cast<uid_t>(std::strtoul(argv[3], nullptr, 10));
        if (setgroups(0, nullptr) != 0 || setgid(uid) != 0 || setuid(uid) != 0 || geteuid() != uid)
            return 3;
        Komunikaty loaded;
        if (argc >= 5 && std::strcmp(argv[4], "load") == 0)
            file.LoadDataFile(loaded);
        const bool saved = file.SaveDataFile(samples::ListA());
        for (const auto& m : messages.shown)
            std::printf("%s\n", m.text.c_str());
        return saved ? 0 : 1;
    }
    return 2;
}
