// remindo-gendata COUNT FILE [SEED]: a scrambled data file of COUNT reminders
// of every kind, for timing the tools on large lists.

#include "dates/datetools.h"
#include "store/datafile.h"
#include "store/fixedformats.h"
#include "store/messages.h"
#include "store/reminders.h"
#include "store/scramble.h"

#include <cstdio>
#include <cstdlib>
#include <random>
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
    std::mt19937 rng(argc == 4 ? uint32_t(std::strtoul(argv[3], nullptr, 10)) : 1u);
    static const int32_t kinds[] = {0, -1, -2, -3, -4, 2, -11, -23, -35, -47, -52, -64, -67};
    const Date base = DateFromYmd(2026, 1, 1);
    Komunikaty list;
    list.items.reserve(size_t(count));
    for (long i = 0; i < count; ++i) {
        Komunikat k;
        k.Tresc = "Przypomnienie " + std::to_string(i + 1) + "+druga linia+";
        k.CoIle = kinds[rng() % std::size(kinds)];
        if (k.CoIle == 2)
            k.CoIle = 2 + int32_t(rng() % 364);
        k.Data = IncDay(base, int(rng() % 730));
        k.IlePrzed = int32_t(rng() % 8);
        k.CzyPo = int32_t(rng() % 2);
        k.Blok = rng() % 20 == 0;
        k.Ile = 1 + int32_t(rng() % 8);
        k.BlokDzisData = base;
        list.items.push_back(std::move(k));
    }
    ScriptedMessages messages;
    FixedFormats formats; // d.MM.yyyy, which every load reads
    Scrambler scrambler(rng());
    DataFile file(argv[2], messages, formats, scrambler);
    if (!file.SaveDataFile(list)) {
        std::fprintf(stderr, "remindo-gendata: %s cannot be written\n", argv[2]);
        return 2;
    }
    return 0;
}
