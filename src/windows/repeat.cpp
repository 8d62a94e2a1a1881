#include "windows/repeat.h"

#include <QAbstractButton>

#include <algorithm>
#include <limits>

namespace remindo {

void RepeatStepper::RepeatWhileHeld(QAbstractButton* arrow)
{
    arrow->setAutoRepeat(true);
    arrow->setAutoRepeatDelay(kFirstRepeatMs);
    arrow->setAutoRepeatInterval(kIntervalMs);
}

RepeatStepper::RepeatStepper(QAbstractButton* less, QAbstractButton* more, QObject* parent) : QObject(parent)
{
    for (const auto& [arrow, d] : {std::pair{less, kLess}, std::pair{more, kMore}}) {
        if (!arrow)
            continue;
        RepeatWhileHeld(arrow);
        connect(arrow, &QAbstractButton::pressed, this, [this, d = d] { Press(d); });
    }
}

void RepeatStepper::Press(Direction d)
{
    if (onPress && !onPress(d))
        return;
    if (onStep)
        onStep(d);
}

void RepeatStepper::SetBounded(Bounded rule)
{
    onPress = [this, read = rule.read](Direction) {
        if (read)
            working_ = read();
        return true;
    };
    onStep = [this, rule = std::move(rule)](Direction d) {
        if (d == kMore ? working_ >= rule.max : working_ <= rule.min)
            return;
        // Saturate instead of overflowing a value that has no real upper bound.
        const long long next = static_cast<long long>(working_) + d * static_cast<long long>(rule.step);
        working_ = static_cast<int>(std::clamp<long long>(next, std::numeric_limits<int>::min(),
                                                          std::numeric_limits<int>::max()));
        if (rule.show)
            rule.show(working_);
    };
}

} // namespace remindo
