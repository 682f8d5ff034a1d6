#include "runtime/datetime/DateTime.h"

#include <cstdio>
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

namespace {

void Split(const struct tm& parts, long microseconds, Date& date, Time& time) {
    date.Day = static_cast<uint8_t>(parts.tm_mday);
    date.Month = static_cast<uint8_t>(parts.tm_mon + 1);
    date.Year = static_cast<uint16_t>(parts.tm_year + 1900);
    time.Hours = static_cast<uint8_t>(parts.tm_hour);
    time.Minutes = static_cast<uint8_t>(parts.tm_min);
    time.Seconds = static_cast<uint8_t>(parts.tm_sec);
    time.Hundredths = static_cast<uint8_t>(microseconds / 10000);
}

}  // namespace

ClockReading SystemClock::Read() const {
    timeval tv{};
    gettimeofday(&tv, nullptr);
    struct tm local{}, utc{};
    time_t seconds = tv.tv_sec;
    localtime_r(&seconds, &local);
    gmtime_r(&seconds, &utc);
    ClockReading reading;
    Split(local, tv.tv_usec, reading.Today, reading.Now);
    Split(utc, tv.tv_usec, reading.UtcToday, reading.UtcNow);
    return reading;
}

Clock& CurrentClock() { return *clockInUse; }
void SetClock(Clock* clock) { clockInUse = clock ? clock : &systemClock; }

std::string IsoDate(const Date& date) {
    if (date.IsEmpty()) return "";
    char text[16];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", static_cast<unsigned>(date.Year),
                  static_cast<unsigned>(date.Month), static_cast<unsigned>(date.Day));
    return text;
}

std::string IsoTime(const Time& time) {
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", static_cast<unsigned>(time.Hours),
                  static_cast<unsigned>(time.Minutes), static_cast<unsigned>(time.Seconds));
    return text;
}

}  // namespace verdo
