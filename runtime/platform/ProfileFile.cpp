#include "runtime/platform/ProfileFile.h"

#include "runtime/bytes/AtomicFile.h"
#include "runtime/bytes/UniqueFd.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace verdo {

// One line of a file. Offsets point into the file text so that untouched lines can be
// copied out byte for byte.
struct ProfileLine {
    enum class Kind { Other, Header, Entry };
    size_t start = 0;
    size_t length = 0;  // without the line ending
    size_t ending = 0;  // bytes of the line ending: 0 (last line without one), 1 (LF or CR), 2 (CR LF)
    Kind kind = Kind::Other;
    std::string_view name;   // section of a header, key of an entry
    size_t valueStart = 0;   // entries: offset of the value, blanks after '=' skipped
    std::string_view value;  // entries: everything after '='
};

namespace {

constexpr std::string_view kBlanks = " \t\v\f\r";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view TrimLeft(std::string_view text) {
    size_t first = text.find_first_not_of(kBlanks);
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view Trim(std::string_view text) {
    text = TrimLeft(text);
    size_t last = text.find_last_not_of(kBlanks);
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

void Classify(std::string_view text, ProfileLine& line) {
    std::string_view content = text.substr(line.start, line.length);
    if (line.start == 0 && content.starts_with(kByteOrderMark)) content.remove_prefix(kByteOrderMark.size());
    std::string_view body = TrimLeft(content);
    if (body.empty() || body[0] == ';' || body[0] == '#') return;
    if (body[0] == '[') {
        line.kind = ProfileLine::Kind::Header;
        size_t close = body.find(']');
        line.name = Trim(close == std::string_view::npos ? body.substr(1) : body.substr(1, close - 1));
        return;
    }
    size_t equals = body.find('=');
    if (equals == std::string_view::npos) return;
    line.name = Trim(body.substr(0, equals));
    if (line.name.empty()) return;
    line.kind = ProfileLine::Kind::Entry;
    line.value = body.substr(equals + 1);
    size_t valueOffset = static_cast<size_t>(line.value.data() - text.data());
    line.valueStart = valueOffset + (line.value.size() - TrimLeft(line.value).size());
}

// Files written on other systems end their lines in LF, CR LF or a lone CR.
std::vector<ProfileLine> SplitLines(std::string_view text) {
    std::vector<ProfileLine> lines;
    size_t start = 0;
    while (start < text.size()) {
        ProfileLine line;
        line.start = start;
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            line.length = text.size() - start;
            start = text.size();
        } else {
            line.length = end - start;
            line.ending = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1;
            start = end + line.ending;
        }
        Classify(text, line);
        lines.push_back(line);
    }
    return lines;
}

struct Location {
    bool sectionFound = false;
    bool keyFound = false;
    size_t keyLine = 0;
    size_t lastEntryLine = 0;  // the section's header when it holds no entry
};

// Only the first section of the name counts; a later one of the same name is never read.
Location Locate(const std::vector<ProfileLine>& lines, std::string_view section, std::string_view key) {
    Location where;
    for (size_t i = 0; i < lines.size(); ++i) {
        const ProfileLine& line = lines[i];
        if (line.kind == ProfileLine::Kind::Header) {
            if (where.sectionFound) break;
            if (EqualNoCase(line.name, section)) {
                where.sectionFound = true;
                where.lastEntryLine = i;
            }
        } else if (line.kind == ProfileLine::Kind::Entry && where.sectionFound) {
            where.lastEntryLine = i;
            if (EqualNoCase(line.name, key)) {
                where.keyFound = true;
                where.keyLine = i;
                break;
            }
        }
    }
    return where;
}

// Settings are small by nature. Anything that is not a regular file of modest size is
// not read, so that a pipe, a device or a huge file can neither stall the program nor
// fill its memory.
bool ReadRegular(int fd, std::string& text) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || static_cast<uint64_t>(info.st_size) > kProfileTextLimit)
        return false;
    text.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    // The file may grow after fstat; the limit holds for what is actually read.
    while (text.size() <= kProfileTextLimit) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<size_t>(n));
        } else if (n == 0) {
            return true;
        } else if (errno != EINTR) {
            return false;
        }
    }
    return false;
}

// The non-blocking open keeps a pipe without a writer from holding the program up
// before the type of the file is known.
int OpenWithoutWaiting(const std::string& fileName) {
    return ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
}

std::string ReadLookupFile(const std::string& fileName) {
    int fd = OpenWithoutWaiting(fileName);
    if (fd < 0) return {};
    UniqueFd closer(fd);
    std::string text;
    if (!ReadRegular(fd, text)) return {};
    return text;
}

// New lines take the ending the file already uses.
std::string_view LineEnding(std::string_view text, const std::vector<ProfileLine>& lines) {
    for (const ProfileLine& line : lines)
        if (line.ending != 0) return text.substr(line.start + line.length, line.ending);
    return "\n";
}

std::string Updated(const std::string& text, std::string_view section, std::string_view key, std::string_view value) {
    std::vector<ProfileLine> lines = SplitLines(text);
    Location where = Locate(lines, section, key);
    std::string_view newline = LineEnding(text, lines);
    std::string out;
    out.reserve(text.size() + section.size() + key.size() + value.size() + 8);
    if (where.keyFound) {
        const ProfileLine& line = lines[where.keyLine];
        out.append(text, 0, line.valueStart);
        out.append(value);
        out.append(text, line.start + line.length);
        return out;
    }
    std::string entry = std::string(key) + "=" + std::string(value);
    if (where.sectionFound) {
        const ProfileLine& after = lines[where.lastEntryLine];
        size_t at = after.start + after.length + after.ending;
        out.append(text, 0, at);
        if (after.ending == 0) out.append(newline);
        out.append(entry);
        out.append(newline);
        out.append(text, at);
        return out;
    }
    out = text;
    if (!lines.empty() && lines.back().ending == 0) out.append(newline);
    out.append("[").append(section).append("]").append(newline);
    out.append(entry).append(newline);
    return out;
}

bool Storable(std::string_view section, std::string_view key, std::string_view value) {
    constexpr std::string_view kLineBreaks = "\r\n";
    if (section.empty() || key.empty()) return false;
    if (section.find_first_of("]\r\n") != std::string_view::npos) return false;
    if (key.find_first_of("=\r\n") != std::string_view::npos) return false;
    if (key[0] == '[' || key[0] == ';' || key[0] == '#') return false;
    return value.find_first_of(kLineBreaks) == std::string_view::npos;
}

// Writing through a link must change the file it points to, not replace the link.
std::string ResolvedTarget(const std::string& fileName) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(fileName, ec)) return fileName;
    std::filesystem::path target = std::filesystem::weakly_canonical(fileName, ec);
    return ec ? fileName : target.string();
}

std::mutex& WriteMutex() {
    static std::mutex mutex;
    return mutex;
}

// A writer that hangs while it holds the lock must not hang every build after it.
constexpr auto kLockWait = std::chrono::seconds(2);

bool LockBefore(int fd, std::chrono::steady_clock::time_point deadline) {
    auto pause = std::chrono::milliseconds(1);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // A file system without locks is written as it would be without other writers.
        if (errno != EWOULDBLOCK && errno != EINTR) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
    return true;
}

bool StillNamed(int fd, const std::string& fileName) {
    struct stat opened {}, named {};
    return ::fstat(fd, &opened) == 0 && ::stat(fileName.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

}  // namespace

ProfileText::ProfileText(std::string text) : text_(std::move(text)), lines_(SplitLines(text_)) {}

ProfileText ProfileText::FromFile(const std::string& fileName) { return ProfileText(ReadLookupFile(fileName)); }

ProfileText::~ProfileText() = default;

std::optional<std::string_view> ProfileText::Find(std::string_view section, std::string_view key) const {
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.empty()) return std::nullopt;
    Location where = Locate(lines_, section, key);
    if (!where.keyFound) return std::nullopt;
    std::string_view value = Trim(lines_[where.keyLine].value);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    return value;
}

bool ProfileText::Holds(std::string_view section, std::string_view key, std::string_view value) const {
    section = Trim(section);
    key = Trim(key);
    if (!Storable(section, key, value)) return false;
    Location where = Locate(lines_, section, key);
    if (!where.keyFound) return false;
    const ProfileLine& line = lines_[where.keyLine];
    return std::string_view(text_).substr(line.valueStart, line.start + line.length - line.valueStart) == value;
}

std::string ReadProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                              const std::string& fileName) {
    ProfileText profile = ProfileText::FromFile(fileName);
    return std::string(profile.Find(section, key).value_or(defaultValue));
}

bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& fileName) {
    section = Trim(section);
    key = Trim(key);
    if (!Storable(section, key, value)) return false;
    std::lock_guard<std::mutex> lock(WriteMutex());
    std::string target = ResolvedTarget(fileName);
    auto deadline = std::chrono::steady_clock::now() + kLockWait;
    // Writers of the file, in this process or another, take turns by a lock on the file
    // itself. Each write puts a new file in its place, so a writer whose lock turns out
    // to be on a file that has been replaced meanwhile starts over with the new one.
    do {
        int fd = OpenWithoutWaiting(target);
        if (fd < 0) {
            if (errno != ENOENT) return false;
            std::string created = Updated({}, section, key, value);
            if (created.size() > kProfileTextLimit) return false;
            // Made whole or not at all; when another writer made it first, its file is updated.
            CreateOutcome made = CreateFileAtomically(target, created);
            if (made != CreateOutcome::AlreadyThere) return made == CreateOutcome::Created;
            continue;
        }
        UniqueFd closer(fd);
        struct stat info {};
        // A pipe or a device under the name is left alone: it could be waited on or read for ever.
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || !LockBefore(fd, deadline)) return false;
        if (!StillNamed(fd, target)) continue;
        std::string text;
        // A file that cannot be read whole is not replaced by one that has lost its other
        // lines, and none is made that look-ups could not read back.
        if (!ReadRegular(fd, text)) return false;
        std::string updated = Updated(text, section, key, value);
        // Writing what the file already says would only cost time, on every run.
        if (updated == text) return true;
        return updated.size() <= kProfileTextLimit && WriteFileAtomically(target, updated);
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

}  // namespace verdo
