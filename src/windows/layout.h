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

} // namespace remindo::layout
