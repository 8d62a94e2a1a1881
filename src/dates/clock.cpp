#include "dates/clock.h"

#include <chrono>
#include <ctime>

namespace remindo {

DateTime SystemClock::Now() const
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    DateTime dt = MakeDateTime(DateFromYmd(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
                               local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec);
    dt.msecs += int32_t(ms);
    return dt;
}

void ManualClock::AdvanceSeconds(int seconds)
{
    int64_t ms = int64_t(now_.msecs) + int64_t(seconds) * 1000;
    constexpr int64_t kDay = 86400000;
    int64_t days = ms >= 0 ? ms / kDay : -((-ms + kDay - 1) / kDay);
    now_.msecs = int32_t(ms - days * kDay);
    now_.date = AddDays(now_.date, days);
}

void ManualClock::AdvanceMinutes(int minutes) { AdvanceSeconds(minutes * 60); }

} // namespace remindo
