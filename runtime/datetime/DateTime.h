#pragma once
#include <cstdint>
#include <string>

namespace verdo {

#pragma pack(push, 1)
// The store's four-byte date: day, month, year (low byte first). All zero means none.
struct Date {
    uint8_t Day = 0;
    uint8_t Month = 0;
    uint16_t Year = 0;

    bool IsEmpty() const { return Day == 0 && Month == 0 && Year == 0; }
    // yyyymmdd, 0 for none: the form the store keeps.
    int32_t ToNumber() const { return IsEmpty() ? 0 : Year * 10000 + Month * 100 + Day; }
    static Date FromNumber(int64_t n);
};

// The store's four-byte time of day: hours, minutes, seconds, hundredths. All zero means none.
struct Time {
    uint8_t Hours = 0;
    uint8_t Minutes = 0;
    uint8_t Seconds = 0;
    uint8_t Hundredths = 0;

    bool IsEmpty() const { return Hours == 0 && Minutes == 0 && Seconds == 0 && Hundredths == 0; }
    // hhmmsscc, 0 for none.
    int32_t ToNumber() const { return Hours * 1000000 + Minutes * 10000 + Seconds * 100 + Hundredths; }
    static Time FromNumber(int64_t n);
};
#pragma pack(pop)

static_assert(sizeof(Date) == 4 && sizeof(Time) == 4);

// "2026-12-01" and "09:30:00"; empty for no date.
std::string IsoDate(const Date& date);
std::string IsoTime(const Time& time);

// One reading of the clock: the date and the time of day of the same instant, where the
// user is and in UTC.
struct ClockReading {
    Date Today;
    Time Now;
    Date UtcToday;
    Time UtcNow;
};

// Where "today" and "now" come from; tests put a fixed clock in its place. A date and a
// time that belong together come from one Read: two readings can straddle midnight.
class Clock {
public:
    virtual ~Clock() = default;
    virtual ClockReading Read() const = 0;
    Date Today() const { return Read().Today; }
    Time Now() const { return Read().Now; }
};

class SystemClock final : public Clock {
public:
    ClockReading Read() const override;
};

// The clock in use for the whole process.
Clock& CurrentClock();
void SetClock(Clock* clock);  // nullptr puts the system clock back

}  // namespace verdo
