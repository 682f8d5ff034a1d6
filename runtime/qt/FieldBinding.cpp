#include "runtime/qt/FieldBinding.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "runtime/datetime/Pictures.h"
#include "runtime/text/Text.h"

namespace verdo {

namespace {

char* At(const FieldRef& ref) { return static_cast<char*>(ref.Record) + ref.Field->Offset; }

template <typename T>
T Read(const FieldRef& ref) {
    T value{};
    if (ref.Field->Size >= sizeof value) std::memcpy(&value, At(ref), sizeof value);
    return value;
}

template <typename T>
void Write(const FieldRef& ref, long long value) {
    long long low = static_cast<long long>(std::numeric_limits<T>::min());
    long long high = static_cast<long long>(std::numeric_limits<T>::max());
    T stored = static_cast<T>(std::clamp(value, low, high));
    if (ref.Field->Size >= sizeof stored) std::memcpy(At(ref), &stored, sizeof stored);
}

bool IsNumber(FieldType type) {
    return type == FieldType::Long || type == FieldType::ULong || type == FieldType::UShort || type == FieldType::Byte;
}

bool IsText(FieldType type) { return type == FieldType::String || type == FieldType::Memo; }

bool BlankWhenZero(std::string_view picture) {
    return !picture.empty() && (picture.back() == 'B' || picture.back() == 'b');
}

// The width a "@sN" picture gives, 0 when the picture is not a text picture.
int TextPictureWidth(std::string_view picture) {
    if (!picture.empty() && picture.front() == '@') picture.remove_prefix(1);
    if (picture.empty() || (picture.front() != 's' && picture.front() != 'S')) return 0;
    int width = 0;
    auto digits = picture.substr(1);
    std::from_chars(digits.data(), digits.data() + digits.size(), width);
    return std::max(width, 0);
}

QString FromRecordText(std::string_view bytes) {
    QString text = QString::fromStdString(Latin1ToUtf8(TrimRight(bytes)));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

}  // namespace

QString FieldDisplayText(const FieldRef& ref, std::string_view picture) {
    if (!ref.IsSet()) return {};
    const FieldDef& field = *ref.Field;
    switch (field.Type) {
        case FieldType::String:
        case FieldType::Memo: {
            // A text picture narrower than its field shows the field's first characters.
            std::string_view bytes(At(ref), field.Size);
            size_t width = static_cast<size_t>(TextPictureWidth(picture));
            if (width > 0 && width < bytes.size()) bytes = bytes.substr(0, width);
            return FromRecordText(bytes);
        }
        case FieldType::Long:
        case FieldType::ULong:
        case FieldType::UShort:
        case FieldType::Byte: {
            long long value = FieldNumber(ref);
            if (value == 0 && BlankWhenZero(picture)) return {};
            return QString::number(value);
        }
        case FieldType::Date: {
            bool datePicture = picture.size() > 1 && (picture[1] == 'd' || picture[1] == 'D');
            return QString::fromStdString(FormatDate(Read<Date>(ref), datePicture ? picture : "@d17B"));
        }
        case FieldType::Time: {
            bool timePicture = picture.size() > 1 && (picture[1] == 't' || picture[1] == 'T');
            return QString::fromStdString(FormatTime(Read<Time>(ref), timePicture ? picture : "@T7B"));
        }
        default:
            return {};
    }
}

bool FieldTakesText(const FieldRef& ref) {
    return ref.IsSet() && (IsText(ref.Field->Type) || IsNumber(ref.Field->Type));
}

int FieldTextLimit(const FieldRef& ref, std::string_view picture) {
    int width = TextPictureWidth(picture);
    if (!ref.IsSet() || !IsText(ref.Field->Type)) return width;
    int size = static_cast<int>(ref.Field->Size);
    return width > 0 ? std::min(width, size) : size;
}

bool StoreFieldText(const FieldRef& ref, const QString& text) {
    if (!ref.IsSet()) return false;
    const FieldDef& field = *ref.Field;
    if (IsText(field.Type)) {
        QString withBreaks = text;
        withBreaks.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        AssignField(At(ref), field.Size, Utf8ToLatin1(withBreaks.toStdString()));
        return true;
    }
    if (!IsNumber(field.Type)) return false;
    std::string digits = text.trimmed().toStdString();
    if (digits.empty()) {
        StoreFieldNumber(ref, 0);
        return true;
    }
    long long value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error == std::errc::result_out_of_range) {
        value = digits.front() == '-' ? std::numeric_limits<long long>::min() : std::numeric_limits<long long>::max();
    } else if (error != std::errc() || end != digits.data() + digits.size()) {
        return false;
    }
    StoreFieldNumber(ref, value);
    return true;
}

void FieldSnapshot::Take(const FieldRef& ref) {
    if (ref.IsSet()) bytes_.assign(At(ref), ref.Field->Size);
}

bool FieldSnapshot::Holds(const FieldRef& ref) const {
    return ref.IsSet() && bytes_.size() == ref.Field->Size && std::memcmp(bytes_.data(), At(ref), bytes_.size()) == 0;
}

bool ShowsFieldText(const QString& text, const QString& fieldText) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == QLatin1Char(' ')) --end;
    return QStringView(text).left(end) == fieldText;
}

long long FieldNumber(const FieldRef& ref) {
    if (!ref.IsSet()) return 0;
    switch (ref.Field->Type) {
        case FieldType::Long: return Read<int32_t>(ref);
        case FieldType::ULong: return Read<uint32_t>(ref);
        case FieldType::UShort: return Read<uint16_t>(ref);
        case FieldType::Byte: return Read<uint8_t>(ref);
        default: return 0;
    }
}

void StoreFieldNumber(const FieldRef& ref, long long value) {
    if (!ref.IsSet()) return;
    switch (ref.Field->Type) {
        case FieldType::Long: Write<int32_t>(ref, value); break;
        case FieldType::ULong: Write<uint32_t>(ref, value); break;
        case FieldType::UShort: Write<uint16_t>(ref, value); break;
        case FieldType::Byte: Write<uint8_t>(ref, value); break;
        default: break;
    }
}

}  // namespace verdo
