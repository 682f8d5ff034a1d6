#include "runtime/datetime/DateTime.h"

#include <ctime>
#include <sys/time.h>

namespace verdo {

Date Date::FromNumber(int64_t n) {
    Date d;
    if (n <= 0 || n > 99991231) return d;
    d.Year = static_cast<uint16_t>(n / 10000);
    d.Month = static_cast<uint8_t>(n / 100 % 100);
    d.Day = static_cast<uint8_t>(n % 100);
    return d;
}

Time Time::FromNumber(int64_t n) {
    Time t;
    if (n <= 0 || n > 99999999) return t;
    t.Hours = static_cast<uint8_t>(n / 1000000);
    t.Minutes = static_cast<uint8_t>(n / 10000 % 100);
    t.Seconds = static_cast<uint8_t>(n / 100 % 100);
    t.Hundredths = static_cast<uint8_t>(n % 100);
    return t;
}

namespace {
SystemClock systemClock;
Clock* clockInUse = &systemClock;
}  // namespace

ClockReading SystemClock::Read() const {
    timeval tv{};
    gettimeofday(&tv, nullptr);
    struct tm local{};
    time_t seconds = tv.tv_sec;
    localtime_r(&seconds, &local);
    ClockReading reading;
    reading.Today.Day = static_cast<uint8_t>(local.tm_mday);
    reading.Today.Month = static_cast<uint8_t>(local.tm_mon + 1);
    reading.Today.Year = static_cast<uint16_t>(local.tm_year + 1900);
    reading.Now.Hours = static_cast<uint8_t>(local.tm_hour);
    reading.Now.Minutes = static_cast<uint8_t>(local.tm_min);
    reading.Now.Seconds = static_cast<uint8_t>(local.tm_sec);
    reading.Now.Hundredths = static_cast<uint8_t>(tv.tv_usec / 10000);
    return reading;
}

Clock& CurrentClock() { return *clockInUse; }
void SetClock(Clock* clock) { clockInUse = clock ? clock : &systemClock; }

}  // namespace verdo
