#include "framework/ThumbCalculator.h"

#include <algorithm>

namespace verdo {

int64_t ThumbCalculator::ValueAt(int percent) const {
    percent = std::clamp(percent, 0, 100);
    if (!Spans()) return LOW;
    // In 128 bits: a 32-bit span times 100 would not overflow, but any 64-bit one might.
    __int128 span = static_cast<__int128>(HIGH) - LOW;
    return LOW + static_cast<int64_t>(span * percent / 100);
}

int ThumbCalculator::PercentOf(int64_t value) const {
    if (!Spans()) return 0;
    value = std::clamp(value, LOW, HIGH);
    __int128 span = static_cast<__int128>(HIGH) - LOW;
    return static_cast<int>((static_cast<__int128>(value) - LOW) * 100 / span);
}

}  // namespace verdo
