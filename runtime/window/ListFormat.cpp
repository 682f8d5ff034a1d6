#include "runtime/window/ListFormat.h"

#include <algorithm>

namespace verdo {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsAlignment(char c) { return c == 'L' || c == 'R' || c == 'C' || c == 'D'; }

// Reads a run of digits; false when there is none or it is longer than any sane value.
bool ReadNumber(std::string_view text, size_t& at, int& value) {
    size_t start = at;
    value = 0;
    while (at < text.size() && IsDigit(text[at])) {
        if (at - start >= 6) return false;
        value = value * 10 + (text[at++] - '0');
    }
    return at > start;
}

// An alignment letter with its optional "(indent)".
bool ReadAlignment(std::string_view text, size_t& at, char& align, int& indent) {
    if (at >= text.size() || !IsAlignment(text[at])) return true;
    align = text[at++];
    if (at < text.size() && text[at] == '(') {
        ++at;
        if (!ReadNumber(text, at, indent) || at >= text.size() || text[at] != ')') return false;
        ++at;
    }
    return true;
}

// The flags a column may carry before its header and after its picture.
bool ReadFlag(std::string_view text, size_t& at, ListColumn& column) {
    switch (text[at]) {
        case '|': column.RightBorder = true; break;
        case 'M': column.Resizable = true; break;
        case '_': column.Underline = true; break;
        case '/': break;  // a new line of a multi-line row; one-line lists ignore it
        case 'F': break;  // fixed columns scroll like the others here
        default: return false;
    }
    ++at;
    return true;
}

bool ReadColumn(std::string_view text, size_t& at, ListColumn& column) {
    if (!ReadNumber(text, at, column.Width)) return false;
    size_t restStart = at;
    if (!ReadAlignment(text, at, column.Align, column.Indent)) return false;
    column.HeaderAlign = column.Align == 'D' ? 'R' : column.Align;
    while (at < text.size() && text[at] != '~' && text[at] != '@')
        if (!ReadFlag(text, at, column)) return false;
    if (at < text.size() && text[at] == '~') {
        size_t close = text.find('~', at + 1);
        if (close == std::string_view::npos) return false;
        column.HasHeader = true;
        column.Header = std::string(text.substr(at + 1, close - at - 1));
        at = close + 1;
        if (!ReadAlignment(text, at, column.HeaderAlign, column.HeaderIndent)) return false;
        while (at < text.size() && text[at] != '@')
            if (!ReadFlag(text, at, column)) return false;
    }
    if (at >= text.size() || text[at] != '@') return false;
    size_t close = text.find('@', at + 1);
    if (close == std::string_view::npos) return false;
    column.Picture = std::string(text.substr(at, close - at));
    if (!IsDisplayPicture(column.Picture)) return false;
    at = close + 1;
    while (at < text.size() && !IsDigit(text[at]))
        if (!ReadFlag(text, at, column)) return false;
    column.Rest = std::string(text.substr(restStart, at - restStart));
    column.Width = std::clamp(column.Width, ListFormat::MinimumWidth, ListFormat::MaximumWidth);
    return true;
}

}  // namespace

bool IsDisplayPicture(std::string_view picture) {
    if (picture.size() < 2 || picture[0] != '@') return false;
    if (std::string_view("nNsSdDtT").find(picture[1]) == std::string_view::npos) return false;
    return std::all_of(picture.begin() + 2, picture.end(), [](char c) {
        return IsDigit(c) || std::string_view("-._,BbLlRrCc").find(c) != std::string_view::npos;
    });
}

bool ListFormat::Parse(std::string_view text, std::vector<ListColumn>& columns) {
    columns.clear();
    std::vector<ListColumn> read;
    size_t at = 0;
    while (at < text.size()) {
        ListColumn column;
        if (!ReadColumn(text, at, column)) return false;
        read.push_back(std::move(column));
    }
    if (read.empty()) return false;
    columns = std::move(read);
    return true;
}

std::string ListFormat::Compose(const std::vector<ListColumn>& columns) {
    std::string text;
    for (const ListColumn& column : columns) text += std::to_string(column.Width) + column.Rest;
    return text;
}

}  // namespace verdo
