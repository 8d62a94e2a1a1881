#pragma once
// Helpers for window tests: everything goes through the window's handle at a
// point, so Qt's own hit test decides which control receives the mouse.

#include "platform/gui/helpopener.h"

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPoint>
#include <QRect>
#include <QTest>
#include <QUrl>
#include <QWidget>
#include <QWindow>
#include <QtMath>

#include <algorithm>
#include <limits>
#include <map>
#include <vector>

namespace remindo::test {

// Records what would have been opened.
class RecordingHelpOpener final : public HelpOpener {
public:
    bool OpenUrl(const QUrl& url, QWidget* owner) override
    {
        urls.push_back(url);
        owners.push_back(owner);
        return answer;
    }
    bool answer = true; // false: no program on the desktop could be asked
    std::vector<QUrl> urls;
    std::vector<QWidget*> owners;
};

inline bool ShowExposed(QWidget& w)
{
    w.show();
    return QTest::qWaitForWindowExposed(&w);
}

inline void ClickAt(QWidget& w, QPoint p, Qt::MouseButton b = Qt::LeftButton)
{
    QTest::mouseClick(w.windowHandle(), b, {}, p);
}

inline void ClickOn(QWidget& w, QRect place)
{
    ClickAt(w, place.center());
}

inline void PressAt(QWidget& w, QPoint p, Qt::MouseButton b = Qt::LeftButton)
{
    QTest::mousePress(w.windowHandle(), b, {}, p);
}

inline void ReleaseAt(QWidget& w, QPoint p, Qt::MouseButton b = Qt::LeftButton)
{
    QTest::mouseRelease(w.windowHandle(), b, {}, p);
}

// The time of held buttons in the test's hands: Advance fires the
// auto-repeat timers of the buttons held down, in time order, as the event
// loop would over that many milliseconds, without waiting for them. A
// timer counts from the moment its button was last pressed (a repeat is a
// press too), so a test must not let the event loop run while it holds one.
class ManualRepeatTimers {
public:
    void Advance(int ms)
    {
        const int end = now_ + std::max(ms, 0);
        for (;;) {
            QAbstractButton* next = nullptr;
            for (QAbstractButton* b : Held())
                if (Due(b) <= end && (!next || Due(b) < Due(next)))
                    next = b;
            if (!next)
                break;
            now_ = Due(next);
            QTimerEvent tick(counting_[next].timerId);
            counting_.erase(next);
            QCoreApplication::sendEvent(next, &tick);
        }
        now_ = end;
    }
    int Now() const { return now_; }
    // The buttons held down whose repeat runs.
    int ActiveCount() const { return int(Held().size()); }

private:
    struct Counting {
        int timerId = 0;
        int due = 0;
    };

    static std::vector<QAbstractButton*> Held()
    {
        std::vector<QAbstractButton*> held;
        for (QWidget* w : QApplication::allWidgets())
            if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->autoRepeat() && b->isDown())
                held.push_back(b);
        return held;
    }

    // When the repeat timer of `b` fires, on this clock.
    int Due(QAbstractButton* b)
    {
        Counting running;
        for (const auto& t : QAbstractEventDispatcher::instance()->registeredTimers(b))
            if (t.interval == b->autoRepeatDelay() || t.interval == b->autoRepeatInterval())
                running = {t.timerId, now_ + t.interval};
        if (!running.timerId)
            return std::numeric_limits<int>::max();
        auto [it, fresh] = counting_.try_emplace(b, running);
        if (fresh) {
            QObject::connect(b, &QAbstractButton::pressed, &context_, [this, b] { counting_.erase(b); });
            QObject::connect(b, &QObject::destroyed, &context_, [this, b] { counting_.erase(b); });
        } else if (it->second.timerId != running.timerId) {
            it->second = running;
        }
        return it->second.due;
    }

    QObject context_;
    std::map<QAbstractButton*, Counting> counting_;
    int now_ = 0;
};

// Holds the left button at `p` for `ms` of the repeat timers' time, then lets go.
inline void HoldAt(QWidget& w, QPoint p, ManualRepeatTimers& timers, int ms)
{
    PressAt(w, p);
    timers.Advance(ms);
    ReleaseAt(w, p);
}

// Moves to a point given in screen pixels, wherever the window is now.
inline void MoveToScreen(QWidget& w, QPoint screen)
{
    QTest::mouseMove(w.windowHandle(), screen - w.windowHandle()->position());
}

// The pixels of `rect` in which two renders of a window differ.
inline int Differences(const QImage& a, const QImage& b, QRect rect)
{
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

// True when two renders of a window differ inside `place` and nowhere else:
// what changed was drawn where it belongs.
inline bool ChangedOnlyIn(const QImage& before, const QImage& after, QRect place)
{
    return before.size() == after.size() && Differences(before, after, place) > 0 &&
           Differences(before, after, before.rect()) == Differences(before, after, place);
}

// What the focus mark of `control` changes on its window: the device pixels
// that differ between the window without a focused control and with the
// keyboard on `control`, how many of them lie inside `control`, and their
// bounds in window pixels. The window is made the active one.
struct FocusMark {
    int changed = 0;
    int inside = 0;
    QRect bounds;
};
inline FocusMark FocusMarkOf(QWidget* control)
{
    QWidget& window = *control->window();
    QApplication::setActiveWindow(&window);
    if (QWidget* f = window.focusWidget())
        f->clearFocus();
    const QImage before = window.grab().toImage();
    control->setFocus(Qt::TabFocusReason);
    const QImage after = window.grab().toImage();
    const qreal ratio = after.devicePixelRatio();
    const QRectF place(QRectF(control->mapTo(&window, QPoint(0, 0)), control->size()));
    FocusMark m;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x) {
            if (before.pixel(x, y) == after.pixel(x, y))
                continue;
            const QPointF at((x + 0.5) / ratio, (y + 0.5) / ratio);
            ++m.changed;
            m.inside += place.contains(at);
            m.bounds |= QRect(at.toPoint(), QSize(1, 1));
        }
    return m;
}

// True when the painted pictures are linked into the test.
inline bool PicturesLinked()
{
    return QFile::exists(QStringLiteral(":/pictures/oknowarning.jpg"));
}

// What a window on a device of `ratio` shows of the embedded picture `name`,
// worked out from the embedded files alone (not by the program's own
// choice): the 1x file at 1 and below; above, the 2x file, resampled
// smoothly to the device pixels that cover the 1x size where that is not
// its own size. Never the 1x file enlarged.
inline QImage ExpectedPicture(const QString& name, qreal ratio)
{
    const auto read = [](const QString& file) {
        QImageReader reader(QStringLiteral(":/pictures/") + file + QStringLiteral(".jpg"), "jpeg");
        reader.setAutoDetectImageFormat(false);
        return reader.read().convertToFormat(QImage::Format_RGB32);
    };
    const QImage once = read(name);
    if (ratio <= 1)
        return once;
    const QImage twice = read(name + QStringLiteral("@2x"));
    const QSize device(qCeil(once.width() * ratio - 1e-6), qCeil(once.height() * ratio - 1e-6));
    QImage expected = device == twice.size() ? twice
                                             : twice.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    expected.setDevicePixelRatio(ratio);
    return expected;
}

} // namespace remindo::test
