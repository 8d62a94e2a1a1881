#pragma once
// The program reads the time only through a Clock, so that tests can run a
// day or a year of passes in milliseconds.

#include "dates/date.h"

namespace remindo {

class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime Now() const = 0;
    Date Today() const { return Now().date; }
};

// Local wall-clock time.
class SystemClock final : public Clock {
public:
    DateTime Now() const override;
};

// A clock that moves only when told to.
class ManualClock final : public Clock {
public:
    explicit ManualClock(DateTime start = {}) : now_(start) {}
    DateTime Now() const override { return now_; }
    void Set(DateTime t) { now_ = t; }
    void AdvanceMinutes(int minutes);
    void AdvanceSeconds(int seconds);

private:
    DateTime now_;
};

} // namespace remindo
