// remindo-gendata COUNT FILE [SEED]: a scrambled data file of COUNT reminders
// of every kind, for timing the tools on large lists.

#include "mixedlist.h"
#include "store/datafile.h"
#include "store/fixedformats.h"
#include "store/messages.h"
#include "store/reminders.h"
#include "store/scramble.h"

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace remindo;

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: remindo-gendata COUNT FILE [SEED]\n");
        return 2;
    }
    const long count = std::strtol(argv[1], nullptr, 10);
    if (count < 0 || count > 10000000) {
        std::fprintf(stderr, "remindo-gendata: COUNT from 0 to 10000000\n");
        return 2;
    }
    const uint32_t seed = argc == 4 ? uint32_t(std::strtoul(argv[3], nullptr, 10)) : 1u;
    const Komunikaty list = MixedList(count, seed);
    ScriptedMessages messages;
    FixedFormats formats; // d.MM.yyyy, which every load reads
    Scrambler scrambler(seed);
    DataFile file(argv[2], messages, formats, scrambler);
    if (!file.SaveDataFile(list)) {
        std::fprintf(stderr, "remindo-gendata: %s cannot be written\n", argv[2]);
        return 2;
    }
    return 0;
}
