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
struct tm LocalNow(long* microseconds) {
    timeval tv{};
    gettimeofday(&tv, nullptr);
    if (microseconds) *microseconds = tv.tv_usec;
    struct tm local{};
    time_t seconds = tv.tv_sec;
    localtime_r(&seconds, &local);
    return local;
}

SystemClock systemClock;
Clock* clockInUse = &systemClock;
}  // namespace

Date SystemClock::Today() const {
    struct tm local = LocalNow(nullptr);
    Date d;
    d.Day = static_cast<uint8_t>(local.tm_mday);
    d.Month = static_cast<uint8_t>(local.tm_mon + 1);
    d.Year = static_cast<uint16_t>(local.tm_year + 1900);
    return d;
}

Time SystemClock::Now() const {
    long usec = 0;
    struct tm local = LocalNow(&usec);
    Time t;
    t.Hours = static_cast<uint8_t>(local.tm_hour);
    t.Minutes = static_cast<uint8_t>(local.tm_min);
    t.Seconds = static_cast<uint8_t>(local.tm_sec);
    t.Hundredths = static_cast<uint8_t>(usec / 10000);
    return t;
}

Clock& CurrentClock() { return *clockInUse; }
void SetClock(Clock* clock) { clockInUse = clock ? clock : &systemClock; }

}  // namespace verdo
