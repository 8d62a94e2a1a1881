#pragma once
// Every word painted on the program's pictures, in one place. The painter
// draws only these strings; the picture test compares what was painted with
// the words the windows are meant to show. UTF-8 source text.

#include "remindo_version.h"

namespace remindo::captions {

// Reminder windows (red, yellow, green): the three buttons.
namespace komunikat {
inline constexpr const char* kPozniej = "Przypomnij później";
inline constexpr const char* kNieDzis = "Przypomnij jutro";
inline constexpr const char* kNiePrzypominaj = "Już więcej nie przypominaj";
} // namespace komunikat

// The blue information panel. Only the title and the link word are fixed;
// the three sentences are ours. The last sentence ends in the link word.
namespace niebieski {
inline constexpr const char* kTitle = "Remindo " REMINDO_VERSION;
inline constexpr const char* kOpis = "Remindo przypomina o ważnych zdarzeniach.";
inline constexpr const char* kMenu = "Prawy przycisk myszy na ikonie otwiera menu.";
// The same panel shown once on a desktop without a notification area: how
// to reach the program there instead of the icon's menu.
inline constexpr const char* kOpisBezIkony = "Remindo działa, choć pulpit nie ma miejsca na ikonę.";
inline constexpr const char* kMenuBezIkony = "Otwieraj je z menu aplikacji (prawy przycisk: więcej).";
inline constexpr const char* kPomocPrefix = "Instrukcję obsługi znajdziesz";
inline constexpr const char* kPomocLink = "tutaj";
} // namespace niebieski

// Message box buttons.
namespace warning {
inline constexpr const char* kTak = "Tak";
inline constexpr const char* kNie = "Nie";
inline constexpr const char* kAnuluj = "Anuluj";
inline constexpr const char* kZamknij = "Zamknij";
} // namespace warning

namespace dane {
inline constexpr const char* kTitle = "Remindo - dane";
} // namespace dane

namespace wprowadzane {
inline constexpr const char* kTresc = "Treść komunikatu";
inline constexpr const char* kData = "Data pierwszego wystąpienia";
inline constexpr const char* kCzestosc = "Częstotliwość zdarzenia";
inline constexpr const char* kRozpocznij = "Rozpocznij powiadamianie";
inline constexpr const char* kDniPrzed = "dni przed";
inline constexpr const char* kOstrzegaj = "- ostrzegaj również po upływie terminu";
inline constexpr const char* kPowiadamiaj = "Powiadamiaj";
inline constexpr const char* kRazy = "raz/razy dziennie";
inline constexpr const char* kBlokuj = "- odblokuj/zablokuj zdarzenie";
} // namespace wprowadzane

namespace czestosc {
inline constexpr const char* kCoX = "Zdarzenie występuje co";
inline constexpr const char* kDni = "dni";
inline constexpr const char* kCyklicznie = "Zdarzenie występuje cyklicznie w";
inline constexpr const char* kMiesiaca = "miesiąca";
} // namespace czestosc

// The drop-down date picker: weekday header (one word per column, Monday
// first) and the today button.
namespace picker {
inline constexpr const char* kWeekdays = "Pn Wt Śr Cz Pt So Nd";
inline constexpr const char* kDzisiaj = "Dzisiaj";
} // namespace picker

namespace kalendarz {
inline constexpr const char* kTitle = "Remindo - kalendarz";
inline constexpr const char* kWskaz = "Wskaż interesujący Cię tydzień";
} // namespace kalendarz

namespace ustawienia {
inline constexpr const char* kTitle = "Remindo - ustawienia";
inline constexpr const char* kPokazCo = "Komunikat pokaż co";
inline constexpr const char* kBadajCo = "Badaj zdarzenia co";
inline constexpr const char* kUkryjPo = "Okno komunikatu ukryj po";
inline constexpr const char* kMinut = "minut";
inline constexpr const char* kSekundach = "sekundach";
inline constexpr const char* kDzwiek = "- komunikatom towarzyszy dźwięk";
inline constexpr const char* kPoziom = "Poziom głośności dźwięku";
} // namespace ustawienia

namespace synchronizacja {
inline constexpr const char* kTitle = "Remindo - synchronizacja";
inline constexpr const char* kSerwer = "Adres serwera";
inline constexpr const char* kUzytkownik = "Użytkownik";
inline constexpr const char* kHaslo = "Hasło";
inline constexpr const char* kKalendarz = "Nazwa kalendarza";
inline constexpr const char* kSynchronizuj = "Synchronizuj teraz";
} // namespace synchronizacja

namespace about {
inline constexpr const char* kTitle = "Remindo - o programie";
inline constexpr const char* kNazwa = "Remindo " REMINDO_VERSION;
} // namespace about

} // namespace remindo::captions
