#pragma once
// The look shared by every picture: colours, fonts, and the parts that recur
// from window to window (title strips, fields, arrows, tick and cross
// buttons). A picture function composes these; none paints its own variant.

#include "windows/layout.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <QStringList>

namespace remindo::painter {

// Calm slate blue on light grey; the accent is the month grid's line colour.
inline const QColor kInk{46, 60, 70};            // captions
inline const QColor kValueText{90, 120, 136};    // the windows' value colour
inline const QColor kAccent{60, 117, 151};
inline const QColor kAccentDark{41, 86, 113};
inline const QColor kAccentSoft{222, 233, 241};
inline const QColor kBody{243, 246, 248};        // window body behind fields
inline const QColor kField{255, 255, 255};
inline const QColor kFieldBorder{178, 196, 208};
inline const QColor kCancel{183, 66, 60};

inline constexpr int kTitleHeight = 26;
inline constexpr int kCaptionPx = 11;            // MS Sans Serif 8 pt at 96 dpi

inline QRect R(layout::Rect r) { return QRect(r.x, r.y, r.w, r.h); }

// The device pixels per window pixel that pictures are painted at while one
// of these lives (1 outside): the same description, in window pixels, makes
// the picture for every screen. Captions are laid out in window pixels and
// their glyphs rendered at the device's own size, not enlarged.
class PaintScale {
public:
    explicit PaintScale(qreal scale);
    ~PaintScale();
    PaintScale(const PaintScale&) = delete;
    PaintScale& operator=(const PaintScale&) = delete;
    static qreal Current();

private:
    qreal previous_;
};

// Registers DejaVu Sans (regular and bold) from the system's font files so
// that every render uses the same glyphs. False, with a reason, if missing.
bool LoadFonts(QString* error);
QFont Font(int pixelSize, bool bold = false);

// An image being painted, with a record of every caption drawn on it and of
// every caption that does not fit its place.
class Canvas {
public:
    Canvas(QSize size, const QColor& fill);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    QPainter& P() { return painter_; }
    // In window pixels, whatever the scale.
    QSize Size() const { return size_; }

    // Draws `utf8` inside `box` with Qt alignment `flags`.
    void Text(const QRect& box, int flags, const char* utf8, const QFont& font,
              const QColor& colour);
    // Draws `utf8` on one line with its box's top-left at `topLeft`, the box
    // vertically centred on a row of `rowHeight`; returns the box used.
    QRect TextAt(QPoint topLeft, int rowHeight, const char* utf8, const QFont& font,
                 const QColor& colour);
    // A caption broken at the space that balances it best into two lines,
    // both centred in `box`; recorded as one caption.
    void TwoLineText(const QRect& box, const char* utf8, const QFont& font,
                     const QColor& colour);
    void Problem(const QString& what) { problems_ << what; }

    const QStringList& Captions() const { return captions_; }
    const QStringList& Problems() const { return problems_; }
    QImage Finish();

private:
    void CheckFits(const QRect& need, const QRect& box, const QString& text);

    QSize size_;
    QImage image_;
    QPainter painter_;
    QStringList captions_;
    QStringList problems_;
};

enum class Glyph { Tick, Cross, Plus, Pencil, Bin };
enum class Arrow { Up, Down, Left, Right };

// A frame one window pixel wide just inside `r`, crisp at every scale.
void Frame(QPainter& p, const QRect& r, const QColor& colour);
// One-pixel frame around the whole picture, for a window without a frame.
void WindowEdge(Canvas& c, const QColor& colour);
// Title strip across the top with `title` at its left; a window that can
// be dragged by it shows a grip at its right.
void TitleStrip(Canvas& c, const char* title, bool movable);
// A thin accent band across the top of a dialog that has no title.
void AccentBand(Canvas& c);
// White field with a soft border.
void Field(QPainter& p, const QRect& r, const QColor& fill = kField);
// Field around a frameless drop-down list's panel, with its arrow.
void DropField(Canvas& c, layout::Rect panel, layout::Rect arrow);
// Field around a value with the less and more arrows at its right.
void StepperField(Canvas& c, layout::Rect value, layout::Rect less, layout::Rect more);
// Field around a memo or a label; `pad` is the white margin around it.
QRect FieldAround(Canvas& c, layout::Rect inner, int padX, int padY);

void DrawGlyph(QPainter& p, const QRectF& box, Glyph g, const QColor& colour, qreal stroke);
void DrawTriangle(QPainter& p, const QRectF& box, Arrow dir, const QColor& colour);
void DrawChevron(QPainter& p, const QRectF& box, Arrow dir, const QColor& colour, qreal stroke);

// Confirm (tick, filled) and cancel or close (cross, light) buttons.
void ActionButton(QPainter& p, const QRect& r, Glyph g);
// A button with a caption on it, in the confirm button's colours.
void CaptionButton(Canvas& c, const QRect& r, const char* caption);
// Round tool button with a glyph (list window).
void RoundButton(QPainter& p, const QRect& r, Glyph g);
// Tick box face on `backdrop`.
void TickFace(QPainter& p, const QRect& r, bool ticked, const QColor& backdrop);
// Small square face of a stepper arrow.
void ArrowFace(QPainter& p, const QRect& r, Arrow dir);

} // namespace remindo::painter
