#pragma once
// A large list of reminders of every kind, the same for a given seed, for
// timing the store and the tools.

#include "dates/datetools.h"
#include "store/reminders.h"

#include <cstdint>
#include <iterator>
#include <random>
#include <string>

namespace remindo {

// `alternate`: every other reminder has one line of text instead of two.
inline Komunikaty MixedList(long count, uint32_t seed, bool alternate = false)
{
    static const int32_t kinds[] = {0, -1, -2, -3, -4, 2, -11, -23, -35, -47, -52, -64, -67};
    std::mt19937 rng(seed);
    const Date base = DateFromYmd(2026, 1, 1);
    Komunikaty list;
    list.items.reserve(size_t(count));
    for (long i = 0; i < count; ++i) {
        Komunikat k;
        k.Tresc = "Przypomnienie " + std::to_string(i + 1) + (alternate && i % 2 == 0 ? "+" : "+druga linia+");
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
    return list;
}

} // namespace remindo
