#include "runtime/text/Text.h"

#include <cstring>

namespace verdo {

std::string_view TrimRight(std::string_view text) {
    size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ') --end;
    return text.substr(0, end);
}

void AssignField(char* field, size_t width, std::string_view value) {
    size_t n = value.size() < width ? value.size() : width;
    if (n > 0) std::memcpy(field, value.data(), n);
    std::memset(field + n, ' ', width - n);
}

std::string Latin1ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

namespace {

// The range the byte after a lead byte may take; later bytes of a sequence are always
// 80..BF. These bounds leave out overlong forms (C0 AF is not "/"), surrogates and
// anything beyond U+10FFFF.
struct LeadByte {
    size_t Length;
    unsigned char SecondLow;
    unsigned char SecondHigh;
};

LeadByte Lead(unsigned char c) {
    if (c >= 0xC2 && c <= 0xDF) return {2, 0x80, 0xBF};
    if (c == 0xE0) return {3, 0xA0, 0xBF};
    if (c == 0xED) return {3, 0x80, 0x9F};
    if (c >= 0xE1 && c <= 0xEF) return {3, 0x80, 0xBF};
    if (c == 0xF0) return {4, 0x90, 0xBF};
    if (c == 0xF4) return {4, 0x80, 0x8F};
    if (c >= 0xF1 && c <= 0xF3) return {4, 0x80, 0xBF};
    return {0, 0, 0};
}

}  // namespace

bool IsMultiByteUtf8(std::string_view bytes) {
    bool multiByte = false;
    size_t i = 0;
    while (i < bytes.size()) {
        auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        LeadByte lead = Lead(c);
        if (lead.Length == 0 || bytes.size() - i < lead.Length) return false;
        auto second = static_cast<unsigned char>(bytes[i + 1]);
        if (second < lead.SecondLow || second > lead.SecondHigh) return false;
        for (size_t k = 2; k < lead.Length; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        multiByte = true;
        i += lead.Length;
    }
    return multiByte;
}

std::string Utf8ToLatin1(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        LeadByte lead = Lead(c);
        unsigned long code = c & (0x7F >> lead.Length);
        size_t taken = 1;
        while (lead.Length > 0 && taken < lead.Length && i + taken < text.size()) {
            unsigned char next = static_cast<unsigned char>(text[i + taken]);
            unsigned char low = taken == 1 ? lead.SecondLow : 0x80;
            unsigned char high = taken == 1 ? lead.SecondHigh : 0xBF;
            if (next < low || next > high) break;
            code = (code << 6) | (next & 0x3F);
            ++taken;
        }
        // A broken sequence gives one '?' for as much of it as could have begun a
        // character, so the byte that broke it is read afresh.
        bool complete = lead.Length > 0 && taken == lead.Length;
        out.push_back(complete && code <= 0xFF ? static_cast<char>(code) : '?');
        i += taken;
    }
    return out;
}

}  // namespace verdo
