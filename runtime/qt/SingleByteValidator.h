#pragma once
#include <QValidator>

namespace verdo {

// Record texts are single-byte: an entry takes only the characters U+0000 to U+00FF,
// and refuses anything else as it is typed or pasted rather than storing a '?'.
// Whether a text holds only characters a record can keep.
inline bool IsSingleByte(const QString& text) {
    for (QChar c : text)
        if (c.unicode() > 0xFF) return false;
    return true;
}

class SingleByteValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override { return IsSingleByte(input) ? Acceptable : Invalid; }
};

}  // namespace verdo
