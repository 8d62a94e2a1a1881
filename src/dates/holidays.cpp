#include "dates/holidays.h"

namespace remindo {

namespace {

constexpr int kFirstYear = 1990;
constexpr int kEpiphanyFrom = 2011;
constexpr int kChristmasEveFrom = 2025;

struct FixedHoliday {
    int month, day, from;
    std::string_view name;
};

// Names in Windows-1250: \x8C = Ś, \x9C = ś, \xB9 = ą, \xEA = ę, \xBF = ż, \xB3 = ł, \xF1 = ń, \xF3 = ó.
constexpr FixedHoliday kFixed[] = {
    {1, 1, kFirstYear, "Nowy Rok"},
    {1, 6, kEpiphanyFrom, "\x8Cwi\xEAto Trzech Kr\xF3li"},
    {5, 1, kFirstYear, "\x8Cwi\xEAto Pa\xF1stwowe"},
    {5, 3, kFirstYear, "\x8Cwi\xEAto Narodowe Trzeciego Maja"},
    {8, 15, kFirstYear, "Wniebowzi\xEA" "cie Naj\x9cwi\xEAtszej Maryi Panny"},
    {11, 1, kFirstYear, "Wszystkich \x8Cwi\xEAtych"},
    {11, 11, kFirstYear, "Narodowe \x8Cwi\xEAto Niepodleg\xB3o\x9c" "ci"},
    {12, 24, kChristmasEveFrom, "Wigilia Bo\xBF" "ego Narodzenia"},
    {12, 25, kFirstYear, "Pierwszy dzie\xF1 Bo\xBF" "ego Narodzenia"},
    {12, 26, kFirstYear, "Drugi dzie\xF1 Bo\xBF" "ego Narodzenia"},
};

// Days after Easter Sunday.
struct MovableHoliday {
    int offset;
    std::string_view name;
};

constexpr MovableHoliday kMovable[] = {
    {0, "Wielkanoc"},
    {1, "Poniedzia\xB3" "ek Wielkanocny"},
    {49, "Zielone \x8Cwi\xB9tki"},
    {60, "Bo\xBF" "e Cia\xB3o"},
};

} // namespace

Date EasterSunday(int year)
{
    // The anonymous Gregorian algorithm (Meeus, Jones, Butcher).
    const int a = year % 19;
    const int b = year / 100;
    const int c = year % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return DateFromYmd(year, month, day);
}

std::string_view PolishHoliday(Date day)
{
    const Ymd ymd = YmdOf(day);
    if (ymd.year < kFirstYear)
        return {};
    for (const FixedHoliday& h : kFixed)
        if (h.month == ymd.month && h.day == ymd.day)
            return ymd.year >= h.from ? h.name : std::string_view();
    // The movable feasts lie from March to June.
    if (ymd.month < 3 || ymd.month > 6)
        return {};
    const int32_t after = day - EasterSunday(ymd.year);
    for (const MovableHoliday& h : kMovable)
        if (h.offset == after)
            return h.name;
    return {};
}

} // namespace remindo
