#include "windows/repeat.h"

#include "windows/chrome.h"

#include <QTimer>

#include <algorithm>
#include <limits>

namespace remindo {

namespace {

class LoopRepeatTimer final : public RepeatTimer {
public:
    explicit LoopRepeatTimer(QObject* parent) : RepeatTimer(parent), timer_(this)
    {
        timer_.setTimerType(Qt::PreciseTimer);
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (timer_.interval() != kIntervalMs)
                timer_.setInterval(kIntervalMs); // past the first pause
            emit Tick();
        });
    }
    void Start(int firstMs) override
    {
        if (!timer_.isActive())
            timer_.start(firstMs);
    }
    void Stop() override { timer_.stop(); }
    bool IsActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

RepeatTimerFactory& Factory()
{
    static RepeatTimerFactory factory;
    return factory;
}

} // namespace

RepeatTimer* MakeRepeatTimer(QObject* parent)
{
    if (Factory())
        return Factory()(parent);
    return new LoopRepeatTimer(parent);
}

void SetRepeatTimerFactory(RepeatTimerFactory factory)
{
    Factory() = std::move(factory);
}

// ------------------------------------------------------- ManualRepeatTimers

class ManualRepeatTimers::Timer final : public RepeatTimer {
public:
    Timer(QObject* parent, std::shared_ptr<const int> now) : RepeatTimer(parent), now_(std::move(now)) {}
    void Start(int firstMs) override
    {
        if (active_)
            return;
        active_ = true;
        due_ = *now_ + firstMs;
    }
    void Stop() override { active_ = false; }
    bool IsActive() const override { return active_; }
    int Due() const { return due_; }
    void Fire()
    {
        due_ += kIntervalMs;
        emit Tick();
    }

private:
    std::shared_ptr<const int> now_;
    bool active_ = false;
    int due_ = 0;
};

ManualRepeatTimers::ManualRepeatTimers()
{
    SetRepeatTimerFactory([this](QObject* parent) -> RepeatTimer* {
        auto* t = new Timer(parent, now_);
        timers_.emplace_back(t);
        return t;
    });
}

ManualRepeatTimers::~ManualRepeatTimers()
{
    SetRepeatTimerFactory(nullptr);
}

void ManualRepeatTimers::Advance(int ms)
{
    const int end = *now_ + std::max(ms, 0);
    for (;;) {
        Timer* next = nullptr;
        for (const auto& t : timers_)
            if (t && t->IsActive() && t->Due() <= end && (!next || t->Due() < next->Due()))
                next = t;
        if (!next)
            break;
        *now_ = next->Due();
        next->Fire(); // may stop or start timers, or even delete them
    }
    *now_ = end;
}

int ManualRepeatTimers::ActiveCount() const
{
    return static_cast<int>(
        std::count_if(timers_.begin(), timers_.end(), [](const auto& t) { return t && t->IsActive(); }));
}

// ------------------------------------------------------------ RepeatStepper

RepeatStepper::RepeatStepper(ClickArea* less, ClickArea* more, QObject* parent)
    : QObject(parent), less_(MakeRepeatTimer(this)), more_(MakeRepeatTimer(this))
{
    connect(less_, &RepeatTimer::Tick, this, [this] { OnTick(kLess); });
    connect(more_, &RepeatTimer::Tick, this, [this] { OnTick(kMore); });
    if (less) {
        connect(less, &ClickArea::pressed, this, [this] { Press(kLess); });
        connect(less, &ClickArea::released, this, &RepeatStepper::Release);
    }
    if (more) {
        connect(more, &ClickArea::pressed, this, [this] { Press(kMore); });
        connect(more, &ClickArea::released, this, &RepeatStepper::Release);
    }
}

void RepeatStepper::Press(Direction d)
{
    if (onPress && !onPress(d))
        return;
    // A click is one step; holding on repeats after a pause.
    if (onTick && !onTick(d))
        return;
    TimerFor(d)->Start(RepeatTimer::kFirstRepeatMs);
}

void RepeatStepper::Release()
{
    less_->Stop();
    more_->Stop();
}

bool RepeatStepper::IsRunning(Direction d) const
{
    return TimerFor(d)->IsActive();
}

void RepeatStepper::OnTick(Direction d)
{
    if (onTick && !onTick(d))
        TimerFor(d)->Stop();
}

void RepeatStepper::SetBounded(Bounded rule)
{
    onPress = [this, read = rule.read](Direction) {
        if (read)
            working_ = read();
        return true;
    };
    onTick = [this, rule = std::move(rule)](Direction d) {
        const bool inside = d == kMore ? working_ < rule.max : working_ > rule.min;
        if (!inside)
            return !rule.stopAtBound;
        // Saturate instead of overflowing a value that has no real upper bound.
        const long long next = static_cast<long long>(working_) + d * static_cast<long long>(rule.step);
        working_ = static_cast<int>(std::clamp<long long>(next, std::numeric_limits<int>::min(),
                                                          std::numeric_limits<int>::max()));
        if (rule.show)
            rule.show(working_);
        return true;
    };
}

} // namespace remindo
