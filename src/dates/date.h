#pragma once
// Whole-day dates and date-times. A Date is a day serial with day 0 on
// 30 December 1899 (proleptic Gregorian), the epoch of the stored files.

#include <compare>
#include <cstdint>

namespace remindo {

struct Date {
    int32_t serial = 0;

    constexpr Date() = default;
    constexpr explicit Date(int32_t s) : serial(s) {}

    friend constexpr auto operator<=>(Date, Date) = default;
    friend constexpr bool operator==(Date, Date) = default;
    friend constexpr int32_t operator-(Date a, Date b) { return a.serial - b.serial; }
};

// Serials of 1 January 0001 and 31 December 9999. Date arithmetic saturates
// here, so absurd values from a damaged file cannot overflow.
inline constexpr int32_t kMinSerial = -693593;
inline constexpr int32_t kMaxSerial = 2958465;

struct Ymd {
    int year = 1899;
    int month = 12;
    int day = 30;
    friend constexpr bool operator==(const Ymd&, const Ymd&) = default;
};

// Builds the date of a valid calendar day; the day must exist in the month.
Date DateFromYmd(int year, int month, int day);
// As above, but answers false (and leaves out alone) for a day that does not exist.
bool TryDateFromYmd(int year, int month, int day, Date& out);
Ymd YmdOf(Date date);

// date + n days, saturated to the representable range.
Date AddDays(Date date, int64_t n);

// A point in time: a whole day and the milliseconds since its midnight.
struct DateTime {
    Date date;
    int32_t msecs = 0;

    int hour() const { return msecs / 3600000; }
    int minute() const { return msecs / 60000 % 60; }
    int second() const { return msecs / 1000 % 60; }
    int minuteOfDay() const { return msecs / 60000; }
    friend constexpr auto operator<=>(const DateTime&, const DateTime&) = default;
};

DateTime MakeDateTime(Date date, int hour, int minute, int second = 0);

} // namespace remindo
