#pragma once
// Where windows may stand and how one is brought before the user. Windows
// reach the desktop only through this interface; tests give them a work area
// of their own (a taskbar at the bottom, at the top).

#include <QPoint>

class QWidget;

namespace remindo {

// The desktop less its panels, in screen pixels. `right` and `bottom` lie
// just outside the area (left + width, top + height).
struct WorkArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

class Desktop {
public:
    virtual ~Desktop() = default;
    virtual WorkArea GetWorkArea() = 0;
    virtual void Move(QWidget& window, QPoint topLeft) = 0;
    // Above every other window, and the active one.
    virtual void BringToFront(QWidget& window) = 0;
    // Above every other window, leaving the keyboard where it is.
    virtual void Raise(QWidget& window) = 0;
};

// The primary screen's available geometry; the window flags (no taskbar
// entry, stay on top) are the window's own.
class QtDesktop final : public Desktop {
public:
    WorkArea GetWorkArea() override;
    void Move(QWidget& window, QPoint topLeft) override;
    void BringToFront(QWidget& window) override;
    void Raise(QWidget& window) override;
};

} // namespace remindo
