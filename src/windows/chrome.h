#pragma once
// What every window of the program shares: a frameless picture covering the
// whole window, transparent click areas laid over the painted buttons, the
// drag bar that stands in for a title bar, the tick box, the frameless
// drop-down list and the F1 key.

#include "windows/layout.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

class QComboBox;
class QPaintDevice;
class QPainter;

namespace remindo {

class HelpOpener;

// The text colour of value labels, edit fields and lists: RGB(90, 120, 136).
inline const QColor kValueTextColour{90, 120, 136};
// The focus mark's colour: the pictures' accent.
inline const QColor kFocusColour{41, 86, 113};

// MS Sans Serif at 11 pixels (height -11). Pixel sized, so that the system's
// font scaling never pushes a caption off its painted place.
QFont WindowFont(int pixelHeight = 11);

inline QRect ToQRect(layout::Rect r) { return QRect(r.x, r.y, r.w, r.h); }

// Pictures are JPEG images stored in the program as ":/pictures/<name>.jpg",
// each painted a second time at twice the pixels as "<name>@2x.jpg".
// A missing or undecodable picture gives an empty image, never a crash.
QString JpegResourcePath(const QString& name);
QImage LoadJpegFile(const QString& path);
QImage LoadJpegImage(const QString& name);
// The picture `name` for a device of `ratio` device pixels per window pixel,
// with that ratio: the 1x picture at 1 and below, the 2x one at 2, and in
// between (125 %, 150 %) or above the 2x one resampled smoothly to the
// device's pixels, never the 1x one enlarged.
QImage LoadPicture(const QString& name, qreal ratio);
// Makes the picture `name` the picture of `image`, a label or a click area
// (the previous one goes), at its device pixel ratio; a ClickArea keeps it
// so when its window moves to a screen of another ratio. Returns false,
// leaving `image` without a picture, when it cannot be loaded.
bool LoadJpegResource(const QString& name, QWidget* image);
// Draws the picture `name` at (0, 0) on `bitmap`, at the bitmap's device
// pixel ratio; false when it cannot be loaded.
bool DrawJpegResource(const QString& name, QPaintDevice& bitmap);
// An image of `size` window pixels for a device of `ratio`, filled with `fill`.
QImage DeviceImage(QSize size, qreal ratio, const QColor& fill);

// A click area laid over the picture: a transparent button over a painted
// one, or a picture or caption that takes clicks. The button is Qt's: the
// click (the left button pressed and released over the area), Space, the
// press that repeats while held, and what a screen reader reads; Enter
// presses it too.
// One with a hand cursor is a button for the keyboard and for a screen
// reader: Tab reaches it (a click leaves the focus where it is), a focus
// mark just outside it shows it, and it reads as a push button named by its
// hint (or the name the window gives it). One without reads as the picture
// or caption it shows.
class ClickArea : public QAbstractButton {
    Q_OBJECT
public:
    explicit ClickArea(QWidget* parent, QRect place = {}, bool handCursor = true,
                       const QString& tooltip = {});
    ~ClickArea() override;

    bool IsButton() const { return button_; }
    // A press and release at once, as Enter gives.
    void Press() { click(); }

    // What the area shows, drawn as a label draws it: a picture, and a
    // caption in plain text (never markup, never a shortcut). A button's
    // caption is what a screen reader reads as its description.
    void setPixmap(const QPixmap& picture);
    QPixmap pixmap() const { return picture_; }
    void setText(const QString& caption);
    QString text() const { return caption_; }
    void setTextFormat(Qt::TextFormat) {}
    void setAlignment(Qt::Alignment alignment);
    void setWordWrap(bool on);
    int heightForWidth(int width) const override;

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void ShowFocusRing(bool shown);
    int CaptionFlags() const;

    bool button_ = false;
    QPixmap picture_;
    QString caption_;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
    bool wordWrap_ = false;
    QPointer<QWidget> ring_; // the focus mark, on the window
};

// The drag bar `LListwa`: a transparent strip across the painted title that
// moves its window by the mouse's motion in screen coordinates. The mouse is
// grabbed while a button is held, so moves and the release reach the bar
// even when the cursor has left it (or the window).
class DragBar : public QLabel {
    Q_OBJECT
public:
    struct DragState {
        bool dragging = false;
        QPoint last; // screen pixels
    };

    DragBar(QWidget* parent, QRect place);
    const DragState& State() const { return state_; }

protected:
    void mousePressEvent(QMouseEvent* e) override;   // LListwaMouseDown
    void mouseMoveEvent(QMouseEvent* e) override;    // LListwaMouseMove
    void mouseReleaseEvent(QMouseEvent* e) override; // LListwaMouseUp
    void hideEvent(QHideEvent* e) override;

private:
    void EndDrag();
    DragState state_;
};

// A tick box: a 19 x 18 picture showing "ptaszekok" when ticked and
// "ptaszekno" when not, a checkable button (a check box with its state for
// a screen reader). With auto-flip on (the default) a click flips it and
// reports `flipped`; with auto-flip off it only reports `clicked` and the
// window decides, since some windows refuse a tick in some states.
class TickBox : public ClickArea {
    Q_OBJECT
public:
    static constexpr int kWidth = 19;
    static constexpr int kHeight = 18;

    TickBox(QWidget* parent, QPoint topLeft, bool ticked = false);
    bool IsTicked() const { return isChecked(); }
    void SetTicked(bool ticked) { setChecked(ticked); }
    void SetAutoFlip(bool on) { autoFlip_ = on; }

signals:
    void flipped(bool ticked);

protected:
    void nextCheckState() override;

private:
    void ShowTick();
    bool autoFlip_ = true;
};

// The number of a stepper, between its less and more arrows: a screen
// reader reads it as a spin box with its value and range. It takes typed
// digits too: reached by Tab or a click, the number is selected, so that
// the first digit replaces it; a digit that would pass the most is
// refused, Backspace takes one back, the up and down keys step as the
// arrows do. The typed number is taken, held to the least, when the
// keyboard leaves, on Enter, and before any button of the window acts.
class StepperValue : public QLabel {
    Q_OBJECT
public:
    StepperValue(QWidget* parent, QRect place);
    void Show(int64_t value, int64_t min, int64_t max);
    int64_t Value() const { return value_; }
    int64_t Minimum() const { return min_; }
    int64_t Maximum() const { return max_; }
    // The range a typed number is held to (a value shown beyond it, from
    // elsewhere, stays until changed); the shown range until set.
    void SetTypedRange(int64_t min, int64_t max);
    // Takes the number being typed, if any: `typed` reports it.
    void Commit();
    // A number for the field, as typed or set by a screen reader: held to
    // the typed range and reported.
    void Take(int64_t value);

signals:
    // A typed number, within the typed range; the window makes it the value.
    void typed(int64_t value);
    // The up (+1) or down (-1) key: one step, as a click on that arrow.
    void stepped(int direction);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    int64_t TypedMin() const { return typedRange_ ? typedMin_ : min_; }
    int64_t TypedMax() const { return typedRange_ ? typedMax_ : max_; }

    int64_t value_ = 0;
    int64_t min_ = 0;
    int64_t max_ = 0;
    bool typedRange_ = false;
    int64_t typedMin_ = 0;
    int64_t typedMax_ = 0;
    bool selected_ = true; // the next digit replaces the number
    bool typing_ = false;
    QString entry_;
};
// Takes the numbers being typed in `window` (before one of its buttons acts).
void TakeTypedNumbers(QWidget* window);

// The focus mark: a dotted frame of the pictures' accent on white, one
// window pixel wide at any scale, just inside `place`.
void DrawFocusMark(QPainter& p, QRect place);
// How far a button's focus mark lies outside the button: clear of its face
// and of the caption painted on it.
inline constexpr int kFocusRingOffset = 2;
// Tab and Shift+Tab go through `widgets` in this order.
void SetReadingOrder(const std::vector<QWidget*>& widgets);

// Opens the list of a drop-down list box, as a click on its arrow would.
void DropDownCombo(QComboBox* combo);

// A drop-down list whose frame and arrow are clipped away by a borderless
// panel, so that only the chosen item's text shows on the picture. The combo
// box sits 3 pixels left of and `lift` pixels above the panel's corner.
struct FramelessCombo {
    QWidget* panel = nullptr;
    QComboBox* combo = nullptr;
};
// The panel shows the focus mark while the list box has the keyboard;
// `name` is what a screen reader calls the list box.
FramelessCombo MakeFramelessCombo(QWidget* parent, QRect panel, int comboWidth, int lift = 3,
                                  const QString& name = {});

// What every window of the program is: frameless, of a fixed size, off the
// taskbar (unless PictureWindow::kTaskbarEntry), in the window font.
void MakePictureWindow(QWidget& window, QSize clientSize, int options);
void CenterOnScreen(QWidget& window);

// Base of every window but the message box (a dialog): a picture window
// with a background picture control covering the whole window.
class PictureWindow : public QWidget {
    Q_OBJECT
public:
    enum Option {
        kPlain = 0,
        kStaysOnTop = 1,
        kTaskbarEntry = 2, // only for a window that must show in the taskbar
        kOwnPlacement = 4, // placed by the window itself, also outside the work area
    };

    PictureWindow(QSize clientSize, const QString& background, int options = kPlain,
                  QWidget* parent = nullptr);

    ClickArea* Background() const { return background_; }
    // What a screen reader calls the window (a window unless it says otherwise).
    QAccessible::Role AccessibleRole() const { return accessibleRole_; }
    void SetAccessibleRole(QAccessible::Role role) { accessibleRole_ = role; }
    void SetBackground(const QString& pictureName);
    void CenterOnScreen() { remindo::CenterOnScreen(*this); }
    // Moves the window as little as needed to lie wholly inside the work
    // area of its screen (of the main screen when it is on none).
    void KeepInsideWorkArea();

    // Adds the drag bar across `place` (usually the painted title strip).
    DragBar* AddDragBar(QRect place);
    ClickArea* AddClickArea(QRect place, bool handCursor = true, const QString& tooltip = {});

    // F1 anywhere in the window opens the help page, before any control sees
    // the key. `opener` null means the program-wide opener.
    void EnableHelpKey(HelpOpener* opener = nullptr);
    // Escape anywhere in the window does what `cancel` does.
    void EnableEscape(std::function<void()> cancel);

protected:
    // Every window opens inside the work area, wherever its opener stands
    // (a list window dragged low must not push the editor off the screen).
    void showEvent(QShowEvent* e) override;

private:
    ClickArea* background_ = nullptr;
    int options_ = kPlain;
    QAccessible::Role accessibleRole_ = QAccessible::Window;
};

} // namespace remindo
