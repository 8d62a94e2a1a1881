#pragma once
// The press-and-hold stepper: a click on an arrow steps its value once; held
// down past a pause, it steps on once per 50 ms, 20 steps a second. The
// arrows are buttons that repeat their press while held (Qt's auto-repeat),
// and each press is a step.

#include <QObject>

#include <functional>

class QAbstractButton;

namespace remindo {

class RepeatStepper : public QObject {
    Q_OBJECT
public:
    enum Direction { kLess = -1, kMore = 1 };
    static constexpr int kIntervalMs = 50;
    // The pause before a held arrow repeats, as a keyboard's key repeats.
    static constexpr int kFirstRepeatMs = 400;

    // Makes `arrow` repeat its press while held, as a stepper's arrow does.
    static void RepeatWhileHeld(QAbstractButton* arrow);

    RepeatStepper(QAbstractButton* less, QAbstractButton* more, QObject* parent = nullptr);

    // The window keeps the value and says, at each press of an arrow (the
    // first and each repeat), how to read and step it:
    //   onPress(direction)  read the shown value into the working variable;
    //                       false means no step (the value may not move);
    //   onStep(direction)   one step.
    std::function<bool(Direction)> onPress;
    std::function<void(Direction)> onStep;

    // One press of that arrow, also callable directly (the up and down keys).
    void Press(Direction d);

    // The usual rule in one call: the value is read from `read` at the press;
    // a more step adds `step` while the value is below `max`, a less step
    // subtracts `step` while it is above `min` (so 17 steps down by 5 to 12
    // over a minimum of 15), and `show` displays the new value.
    struct Bounded {
        std::function<int()> read;
        std::function<void(int)> show;
        int min = 0;
        int max = 0;
        int step = 1;
    };
    void SetBounded(Bounded rule);

private:
    int working_ = 0;
};

} // namespace remindo
