#pragma once
// The press-and-hold stepper: a click on an arrow steps its value once; held
// down past a pause, it steps on once per 50 ms tick, 20 steps a second. Its
// timers come from a replaceable factory so that tests hold an arrow for a
// second without waiting a second.

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class QTimer;
class QWidget;

namespace remindo {

class ClickArea;

class RepeatTimer : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 50;
    // The pause before a held arrow repeats, as a keyboard's key repeats.
    static constexpr int kFirstRepeatMs = 400;

    using QObject::QObject;
    // The first tick after `firstMs`, then one every kIntervalMs. Starting a
    // running timer leaves it running on its old count.
    virtual void Start(int firstMs = kIntervalMs) = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;

signals:
    void Tick();
};

using RepeatTimerFactory = std::function<RepeatTimer*(QObject* parent)>;

// A 50 ms timer from the installed factory (a message-loop timer by default).
RepeatTimer* MakeRepeatTimer(QObject* parent);
// Null restores the message-loop timer.
void SetRepeatTimerFactory(RepeatTimerFactory factory);

// For tests: while alive, every repeat timer made is a manual one on a
// shared clock that moves only in Advance. Each active timer ticks once for
// every 50 ms of its own running time, in time order.
class ManualRepeatTimers {
public:
    ManualRepeatTimers();
    ~ManualRepeatTimers();
    ManualRepeatTimers(const ManualRepeatTimers&) = delete;
    ManualRepeatTimers& operator=(const ManualRepeatTimers&) = delete;

    void Advance(int ms);
    int Now() const { return *now_; }
    int ActiveCount() const;

private:
    class Timer;
    std::vector<QPointer<Timer>> timers_;
    // Shared with the timers, which may outlive this clock in a test.
    std::shared_ptr<int> now_ = std::make_shared<int>(0);
};

// The stepper behaviour of one value with its less and more arrows. The
// window keeps the value and says how to read, step and show it:
//   onPress(direction)  the arrow went down: read the shown value into the
//                       working variable; false means do not start at all;
//   onTick(direction)   one step, at the press and then at each repeat;
//                       false stops the timer (a dialog that stops at its
//                       bound), true keeps it running.
// A release of either arrow, with any button, stops both directions.
class RepeatStepper : public QObject {
    Q_OBJECT
public:
    enum Direction { kLess = -1, kMore = 1 };

    RepeatStepper(ClickArea* less, ClickArea* more, QObject* parent = nullptr);

    std::function<bool(Direction)> onPress;
    std::function<bool(Direction)> onTick;

    // What the arrows do, also callable directly (e.g. from a mouse-up handler).
    void Press(Direction d);
    void Release();
    bool IsRunning(Direction d) const;

    // The usual rule in one call: the value is read from `read` at the press;
    // a more tick adds `step` while the value is below `max`, a less tick
    // subtracts `step` while it is above `min` (so 17 steps down by 5 to 12
    // over a minimum of 15), and `show` displays the new value. At a bound
    // the timer keeps running unless `stopAtBound`.
    struct Bounded {
        std::function<int()> read;
        std::function<void(int)> show;
        int min = 0;
        int max = 0;
        int step = 1;
        bool stopAtBound = false;
    };
    void SetBounded(Bounded rule);
    int Working() const { return working_; }

private:
    RepeatTimer* TimerFor(Direction d) const { return d == kLess ? less_ : more_; }
    void OnTick(Direction d);

    RepeatTimer* less_;
    RepeatTimer* more_;
    int working_ = 0;
};

} // namespace remindo
