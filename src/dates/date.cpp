#include "dates/date.h"

#include <algorithm>

namespace remindo {
namespace {

// Days from 1 January 1970, for any proleptic Gregorian date (H. Hinnant's civil algorithms).
constexpr int64_t DaysFromCivil(int64_t y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

constexpr int64_t kEpochShift = 25569; // 1 January 1970 as a serial

bool ValidYmd(int y, int m, int d)
{
    if (m < 1 || m > 12 || d < 1)
        return false;
    static constexpr int kLen[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
    return d <= kLen[m - 1] + (m == 2 && leap ? 1 : 0);
}

Date Saturate(int64_t serial)
{
    return Date(static_cast<int32_t>(std::clamp<int64_t>(serial, kMinSerial, kMaxSerial)));
}

} // namespace

Date DateFromYmd(int year, int month, int day)
{
    return Saturate(DaysFromCivil(year, month, day) + kEpochShift);
}

bool TryDateFromYmd(int year, int month, int day, Date& out)
{
    if (year < 1 || year > 9999 || !ValidYmd(year, month, day))
        return false;
    out = DateFromYmd(year, month, day);
    return true;
}

Ymd YmdOf(Date date)
{
    const int64_t z = int64_t(date.serial) - kEpochShift + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int d = int(doy - (153 * mp + 2) / 5 + 1);
    const int m = int(mp < 10 ? mp + 3 : mp - 9);
    const int y = int(yoe + era * 400 + (m <= 2));
    return {y, m, d};
}

Date AddDays(Date date, int64_t n)
{
    return Saturate(int64_t(date.serial) + n);
}

DateTime MakeDateTime(Date date, int hour, int minute, int second)
{
    return {date, ((hour * 60 + minute) * 60 + second) * 1000};
}

} // namespace remindo
