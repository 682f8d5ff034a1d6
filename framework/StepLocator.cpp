#include "framework/StepLocator.h"

namespace verdo {

namespace {
// Single-byte letters, including those of the upper half, compared without case.
unsigned char Folded(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
    return c;
}
}  // namespace

void StepLocator::Setup(int control, size_t freeElement, bool noCase) {
    CONTROL = control;
    FREEELEMENT = freeElement;
    NOCASE = noCase;
}

std::string StepLocator::Seek(unsigned char typed, const std::string& current) const {
    if (!current.empty()) {
        unsigned char first = static_cast<unsigned char>(current.front());
        if (first == typed || (NOCASE && Folded(first) == Folded(typed))) return {};
    }
    return std::string(1, static_cast<char>(typed));
}

}  // namespace verdo
