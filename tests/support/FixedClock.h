#pragma once
#include "runtime/datetime/DateTime.h"

namespace verdo::test {

// A clock that always reads the same date and time, installed for the lifetime of the
// object; in UTC the same, unless given.
class FixedClock : public Clock {
public:
    FixedClock(Date today, Time now) : FixedClock(today, now, today, now) {}
    FixedClock(Date today, Time now, Date utcToday, Time utcNow) : reading_{today, now, utcToday, utcNow} {
        SetClock(this);
    }
    ~FixedClock() override { SetClock(nullptr); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

    ClockReading Read() const override { return reading_; }

private:
    ClockReading reading_;
};

}  // namespace verdo::test
