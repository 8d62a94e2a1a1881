#pragma once
// Where things stand on each window's picture. The picture painter (tools/)
// draws every button face from these rectangles and the windows lay their
// click areas over the same rectangles, so the two can never drift apart.
// Standard library only: the painter and the windows both include it.

namespace remindo::layout {

struct Rect {
    int x, y, w, h;
};

// Message box `TFWarning`.
namespace warning {
inline constexpr Rect kWindow{0, 0, 350, 150};
inline constexpr Rect kIcon{12, 4, 42, 43};
inline constexpr Rect kText{17, 51, 313, 53};
inline constexpr Rect kClose{323, 8, 17, 17};
inline constexpr Rect kButTak{63, 116, 88, 26};
inline constexpr Rect kButNie{156, 116, 88, 26};
inline constexpr Rect kButAnuluj{248, 116, 88, 26};
inline constexpr Rect kButZamknij{190, 116, 88, 26};
} // namespace warning

// About window `TFAbout`.
namespace about {
inline constexpr Rect kWindow{0, 0, 386, 243};
inline constexpr Rect kZapisz{319, 202, 27, 20};
} // namespace about

// A frameless drop-down list shows only through its panel; the combo box sits
// 3 pixels left of the panel and is 23 pixels wider, so that its own frame
// and arrow are clipped away. The painted field around the panel holds the
// arrow that opens the list.
inline constexpr int ComboWidth(Rect panel) { return panel.w + 23; }

// Sizes of the small pictures that are laid on a window.
inline constexpr Rect kTick{0, 0, 19, 18};         // "ptaszekok", "ptaszekno"
inline constexpr Rect kCalendarBar{0, 0, 112, 6};  // "palkamala", "palkaduza"
// The calendar listing's scroll bar: its two arrow buttons ("listwagora",
// "listwadol") and its slider ("listwasuwak"), whose middle rows stretch to
// the slider's length while kScrollCap rows at each end keep their shape.
inline constexpr Rect kScrollArrow{0, 0, 16, 16};
inline constexpr Rect kScrollSlider{0, 0, 16, 40};
inline constexpr int kScrollCap = 6;

// Reminder window `TFGlowny`: three buttons across the top, the reminder text
// below them; the blue panel has a close strip on top and a help link word.
namespace glowny {
inline constexpr Rect kWindow{0, 0, 349, 90};
inline constexpr Rect kPozniej{8, 5, 105, 27};
inline constexpr Rect kNieDzis{122, 5, 105, 27};
inline constexpr Rect kNiePrzypominaj{236, 5, 105, 27};
inline constexpr Rect kKomunikat{12, 38, 325, 46};
inline constexpr Rect kClose{8, 5, 333, 27};
inline constexpr Rect kPomoc{176, 68, 34, 15};
// The reminder text's colours, red, yellow and green by how near the
// occurrence is. Each keeps its hue and reads at 4.5:1 or better on the
// white field (the yellow one darkened to an olive for that).
struct Rgb {
    int r, g, b;
};
inline constexpr Rgb kInkRed{149, 58, 0};
inline constexpr Rgb kInkYellow{112, 115, 0};
inline constexpr Rgb kInkGreen{3, 124, 45};
} // namespace glowny

// Reminder list window `TFDane`.
namespace dane {
inline constexpr Rect kWindow{0, 0, 386, 447};
inline constexpr Rect kListwa{0, 0, 386, 26};
inline constexpr Rect kNowyWpis{12, 44, 30, 30};
inline constexpr Rect kEdytujWpis{12, 84, 30, 30};
inline constexpr Rect kUsunWpis{12, 124, 30, 30};
inline constexpr Rect kPodListe{56, 40, 316, 354}; // white panel holding `Lista`
inline constexpr Rect kAnuluj{308, 410, 27, 20};
inline constexpr Rect kZapisz{345, 410, 27, 20};
} // namespace dane

// The drop-down date picker `PKalendarz` (the editor's and the calendar
// window's): its own coordinates, 0,0 at the panel's corner.
namespace picker {
inline constexpr Rect kPanel{0, 0, 188, 220};
inline constexpr Rect kData{6, 6, 176, 16};
inline constexpr Rect kPrevYear{8, 27, 16, 16};
inline constexpr Rect kPrevMonth{27, 27, 16, 16};
inline constexpr Rect kDzisiaj{62, 27, 64, 16};
inline constexpr Rect kNextMonth{145, 27, 16, 16};
inline constexpr Rect kNextYear{164, 27, 16, 16};
inline constexpr Rect kWeekdays{9, 47, 169, 14}; // painted header over the grid's columns
inline constexpr Rect kCalendar{9, 62, 169, 137}; // `ImCalendar` on its white panel
inline constexpr int kCellWidth = 24;               // the month grid's columns
inline constexpr int kCellHeight = 22;              // and rows
inline constexpr int kGridOriginX = 1;
inline constexpr int kGridOriginY = 1;
} // namespace picker

// Reminder editor `TFWprowadzane`, at the size it is given at each opening.
namespace wprowadzane {
inline constexpr Rect kWindow{0, 0, 374, 395};
// The memo breaks its lines at the reminder window's text width (its
// document margin of 1 on each side aside), so that every stored line is one
// line of the reminder window's text.
inline constexpr Rect kTresc{20, 33, glowny::kKomunikat.w + 2, 40}; // memo inside its painted frame
inline constexpr Rect kTrescUwaga{20, 78, 334, 14}; // why the memo took no more, under its frame
// The date as its long form, weekday first: "poniedziałek, 16 października
// 2028", the widest of the Polish ones, takes 194 pixels at the window's font.
inline constexpr Rect kWybData{20, 117, 200, 15};    // chosen date
inline constexpr Rect kRozwinKalendarz{225, 115, 18, 19};
inline constexpr Rect kKalendarz{16, 134, 188, 220}; // the picker, hidden at opening
inline constexpr Rect kCzestoscPanel{20, 176, 318, 14};
inline constexpr Rect kCzestosc{20, 173, 318, 19};   // click area over the chosen kind
inline constexpr Rect kRozwinListe{339, 173, 18, 19};
inline constexpr Rect kDniPrzed{202, 215, 22, 14};
inline constexpr Rect kMniejDniPrzed{226, 216, 12, 12};
inline constexpr Rect kWiecejDniPrzed{241, 216, 12, 12};
inline constexpr Rect kPtaszek{16, 245, 19, 18};
inline constexpr Rect kIleRazyDziennie{202, 279, 22, 14};
inline constexpr Rect kMniejRazy{226, 280, 12, 12};
inline constexpr Rect kWiecejRazy{241, 280, 12, 12};
inline constexpr Rect kPtaszek2{16, 309, 19, 18};
inline constexpr Rect kAnuluj{294, 358, 27, 20};
inline constexpr Rect kZapisz{331, 358, 27, 20};
} // namespace wprowadzane

// Recurrence dialog `TFCzestosc`: two panels of the same size at 0,0.
namespace czestosc {
inline constexpr Rect kWindow{0, 0, 336, 137};
// every X days ("tlo_czestosc_a")
inline constexpr Rect kCoIleDni{170, 49, 30, 14}; // edit field
inline constexpr Rect kMniejDni{203, 50, 12, 12};
inline constexpr Rect kWiecejDni{218, 50, 12, 12};
inline constexpr Rect kAnuluj{250, 100, 27, 20};
inline constexpr Rect kZapisz{285, 100, 27, 20};
// given weekday of the month ("tlo_czestosc_b")
inline constexpr Rect kKtorePanel{28, 57, 88, 14};
inline constexpr Rect kRozwinListaKtory{117, 54, 18, 19};
inline constexpr Rect kJakiePanel{148, 57, 88, 14};
inline constexpr Rect kRozwinListaJaki{237, 54, 18, 19};
inline constexpr Rect kAnulujWOkD = kAnuluj;
inline constexpr Rect kOkWOD = kZapisz;
} // namespace czestosc

// Calendar window `TFkalendarz`.
namespace kalendarz {
inline constexpr Rect kWindow{0, 0, 500, 500};
inline constexpr Rect kListwa{0, 0, 500, 26};
inline constexpr Rect kKtoryPanel{58, 57, 234, 14};
inline constexpr Rect kRozwinKalendarz{293, 54, 18, 19};
inline constexpr Rect kKalendarz{54, 75, 188, 220};    // the picker, hidden at start
inline constexpr Rect kPodImgKalendarz{54, 86, 408, 365}; // white viewport of the listing
inline constexpr Rect kImgKalendarz{0, 0, 387, 1200};     // the listing, in the viewport
inline constexpr Rect kListwaScroll{392, 3, 16, 359};     // scroll bar, in the viewport
inline constexpr Rect kClose{435, 465, 27, 20};
} // namespace kalendarz

// Settings dialog `TFUstawienia`: four number fields with arrows at their
// right, the sound tick, cancel and save.
namespace ustawienia {
inline constexpr Rect kWindow{0, 0, 386, 243};
inline constexpr Rect kListwa{0, 0, 386, 26};
inline constexpr Rect kPokazCo{194, 47, 30, 14};
inline constexpr Rect kPokazCoMniej{227, 48, 12, 12};
inline constexpr Rect kPokazCoWiecej{242, 48, 12, 12};
inline constexpr Rect kBadajCo{194, 77, 30, 14};
inline constexpr Rect kBadajCoMniej{227, 78, 12, 12};
inline constexpr Rect kBadajCoWiecej{242, 78, 12, 12};
inline constexpr Rect kUkryjPo{194, 107, 30, 14};
inline constexpr Rect kUkryjPoMniej{227, 108, 12, 12};
inline constexpr Rect kUkryjPoWiecej{242, 108, 12, 12};
inline constexpr Rect kPtaszek2{24, 136, 19, 18};
inline constexpr Rect kDzwiek{194, 167, 30, 14};
inline constexpr Rect kDzwiekMniej{227, 168, 12, 12};
inline constexpr Rect kDzwiekWiecej{242, 168, 12, 12};
inline constexpr Rect kAnuluj{282, 202, 27, 20};
inline constexpr Rect kZapisz = about::kZapisz;
} // namespace ustawienia

// Sync window `TFSynchronizacja`: the account's four fields, the button
// that syncs now, the last result and the keyring's line.
namespace synchronizacja {
inline constexpr Rect kWindow{0, 0, 386, 300};
inline constexpr Rect kListwa{0, 0, 386, 26};
inline constexpr Rect kSerwer{142, 44, 218, 16};
inline constexpr Rect kUzytkownik{142, 72, 218, 16};
inline constexpr Rect kHaslo{142, 100, 218, 16};
inline constexpr Rect kKalendarz{142, 128, 218, 16};
inline constexpr Rect kSynchronizuj{24, 158, 150, 24};
inline constexpr Rect kWynik{24, 190, 338, 28};
inline constexpr Rect kUwaga{24, 222, 338, 28};
inline constexpr Rect kAnuluj{282, 261, 27, 20};
inline constexpr Rect kZapisz{319, 261, 27, 20};
} // namespace synchronizacja

} // namespace remindo::layout
