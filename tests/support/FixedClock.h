#pragma once
#include "runtime/datetime/DateTime.h"

namespace verdo::test {

// A clock that always reads the same date and time, installed for the lifetime of the
// object.
class FixedClock : public Clock {
public:
    FixedClock(Date today, Time now) : today_(today), now_(now) { SetClock(this); }
    ~FixedClock() override { SetClock(nullptr); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

    Date Today() const override { return today_; }
    Time Now() const override { return now_; }

private:
    Date today_;
    Time now_;
};

}  // namespace verdo::test
