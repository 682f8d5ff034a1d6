#pragma once
#include <cstdint>

namespace verdo {

// Turns the scroll thumb of a list into a value of a numeric key field and back: the
// thumb spans the values from LOW (top) to HIGH (bottom).
class ThumbCalculator {
public:
    void Setup(int64_t low, int64_t high) {
        LOW = low;
        HIGH = high;
    }
    // Whether the span holds more than one value, so that the thumb can say anything.
    bool Spans() const { return HIGH > LOW; }
    // The value at a thumb position of 0 to 100.
    int64_t ValueAt(int percent) const;
    // The thumb position of a value, 0 to 100.
    int PercentOf(int64_t value) const;

    int CONTROLS = 0;
    int64_t LOW = 0;
    int64_t HIGH = 0;
};

}  // namespace verdo
