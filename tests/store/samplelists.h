#pragma once
// Reminder lists shared by the fault tests and their child process.

#include "store/codec.h"
#include "store/reminders.h"

#include <string>

namespace remindo::samples {

inline Date D(int y, int m, int d) { return DateFromYmd(y, m, d); }

// Short: a few reminders.
inline Komunikaty ListA()
{
    Komunikaty l;
    l.AddReminder(Cp("Urodziny Zosi+kupić kwiaty+"), D(2026, 12, 8), -4, 7, 1, 0, 2, D(2026, 12, 1));
    l.AddReminder(Cp("Rachunek za prąd+"), D(2027, 1, 15), -3, 3, 0, 0, 1, D(2026, 12, 1));
    l.AddReminder(Cp("Zebranie & <ważne> \"szybko\"+"), D(2026, 3, 5), -52, 2, 1, 1, 8, D(2026, 12, 1));
    return l;
}

// Long: many reminders with long texts, so that a save takes a while.
inline Komunikaty ListB()
{
    Komunikaty l;
    for (int i = 0; i < 300; ++i) {
        std::string text = Cp("Przypomnienie numer ") + std::to_string(i) + "+" + std::string(size_t(40 + i % 60), 'x') + "+";
        l.AddReminder(text, AddDays(D(2026, 1, 1), i), i % 2 ? -1 : 7 + i, i % 10, i % 2, 0, 1 + i % 8, D(2026, 12, 1));
    }
    return l;
}

// The stored fields only: the working fields never reach the file.
inline bool SameStored(const Komunikaty& a, const Komunikaty& b)
{
    if (a.items.size() != b.items.size())
        return false;
    for (size_t i = 0; i < a.items.size(); ++i) {
        const Komunikat& x = a.items[i];
        const Komunikat& y = b.items[i];
        if (x.Tresc != y.Tresc || x.Data != y.Data || x.CoIle != y.CoIle || x.IlePrzed != y.IlePrzed ||
            x.CzyPo != y.CzyPo || x.Blok != y.Blok || x.BlokDzis != y.BlokDzis || x.BlokDzisData != y.BlokDzisData ||
            x.Ile != y.Ile)
            return false;
    }
    return true;
}

} // namespace remindo::samples
