#include "framework/SettingsFile.h"

#include <charconv>
#include <climits>

#include "runtime/platform/ProfileFile.h"

namespace verdo {

namespace {

// A corrupt count must not make start-up look up millions of keys.
constexpr long long kMaxSectors = 1000;

std::string_view NthPart(std::string_view text, int n) {
    if (n < 1) return {};
    for (int part = 1; part < n; ++part) {
        size_t comma = text.find(',');
        if (comma == std::string_view::npos) return {};
        text.remove_prefix(comma + 1);
    }
    return text.substr(0, text.find(','));
}

std::string SectorField(std::string_view text) {
    return std::string(text.substr(0, SettingsFile::kSectorFieldSize));
}

std::string SectorKey(size_t index) { return "Sectors_" + std::to_string(index); }

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
        if (x != y) return false;
    }
    return true;
}

// A stored coordinate, or the window's current one when the stored text is no number.
int StoredOr(const std::string& text, int current) {
    long long value = 0;
    if (!SettingsFile::ParseWhole(text, value) || value < INT_MIN || value > INT_MAX) return current;
    return static_cast<int>(value);
}

}  // namespace

// Keeps one reading of the file for the operation that creates it.
class SettingsFile::OneReading {
public:
    explicit OneReading(SettingsFile& settings) : settings_(settings) { ++settings_.readingDepth_; }
    ~OneReading() {
        if (--settings_.readingDepth_ == 0) settings_.reading_.reset();
    }
    OneReading(const OneReading&) = delete;
    OneReading& operator=(const OneReading&) = delete;

private:
    SettingsFile& settings_;
};

// Made in place, as a ProfileText cannot move.
struct SettingsFile::FileReading {
    explicit FileReading(const std::string& fileName) : Text(ProfileText::FromFile(fileName)) {}
    ProfileText Text;
};

SettingsFile::SettingsFile() = default;
SettingsFile::~SettingsFile() = default;

const SettingsFile::FileReading& SettingsFile::Reading() {
    if (!reading_) reading_ = std::make_unique<FileReading>(FILENAME);
    return *reading_;
}

bool SettingsFile::ParseWhole(std::string_view text, long long& value) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return false;
    text = text.substr(first, text.find_last_not_of(" \t") + 1 - first);
    if (text.starts_with('+')) {
        text.remove_prefix(1);
        if (text.empty() || text[0] < '0' || text[0] > '9') return false;
    }
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

void SettingsFile::Open(const std::string& fileName) {
    FILENAME = fileName;
    SECTORS.clear();
    open_ = true;
    Opened();
    LoadRegister();
}

void SettingsFile::Close() {
    if (!open_) return;
    SaveRegister();
    SECTORS.clear();
    open_ = false;
}

void SettingsFile::LoadRegister() {
    OneReading reading(*this);
    long long count = 0;
    if (!ParseWhole(ReadValue(kRegisterSection, "Sectors"), count) || count < 0) count = 0;
    if (count > kMaxSectors) count = kMaxSectors;
    for (long long i = 1; i <= count; ++i) {
        std::string stored = ReadValue(kRegisterSection, SectorKey(static_cast<size_t>(i)));
        SECTORS.push_back({SectorField(NthPart(stored, 1)), SectorField(NthPart(stored, 2)),
                           SectorField(NthPart(stored, 3))});
    }
}

void SettingsFile::SaveRegister() {
    OneReading reading(*this);
    WriteValue(kRegisterSection, "Sectors", SECTORS.size());
    for (size_t i = 0; i < SECTORS.size(); ++i) {
        const SettingsSector& sector = SECTORS[i];
        std::string stored = sector.FAMILY;
        // An empty ITEM keeps its place when a TYPE follows, so the TYPE reads back as TYPE.
        if (!sector.ITEM.empty() || !sector.TYPE.empty()) stored += "," + sector.ITEM;
        if (!sector.TYPE.empty()) stored += "," + sector.TYPE;
        WriteValue(kRegisterSection, SectorKey(i + 1), stored);
    }
}

std::string SettingsFile::ReadProfile(std::string_view section, std::string_view key, std::string_view defaultValue) {
    if (readingDepth_ == 0) return ReadProfileString(section, key, defaultValue, FILENAME);
    return std::string(Reading().Text.Find(section, key).value_or(defaultValue));
}

bool SettingsFile::WriteProfile(std::string_view section, std::string_view key, std::string_view value) {
    // Rewriting a register or a placement that has not changed costs no write at all.
    if (readingDepth_ > 0 && Reading().Text.Holds(section, key, value)) return true;
    reading_.reset();
    return WriteProfileString(section, key, value, FILENAME);
}

std::string SettingsFile::ReadValue(std::string_view section, std::string_view key) {
    return ReadProfile(section, key, "");
}

void SettingsFile::ReadInto(std::string_view section, std::string_view key, std::string& variable) {
    variable = ReadProfile(section, key, variable);
}

void SettingsFile::WriteValue(std::string_view section, std::string_view key, std::string_view value) {
    WriteProfile(section, key, value);
}

std::string SettingsFile::ReadChecked(std::string_view section, std::string_view key) {
    std::string value = ReadProfile(section, key, kUnknown);
    if (value == kUnknown)
        assertText_ = "INI Assert: Could not find " + std::string(key) + " in sector " + std::string(section) +
                      " of " + FILENAME;
    return value;
}

std::string SettingsFile::ReadPart(std::string_view section, std::string_view key, int n) {
    return std::string(NthPart(ReadChecked(section, key), n));
}

void SettingsFile::SaveWindow(std::string_view procedureName, const PlacedWindow& window) {
    if (window.IsMinimized()) return;
    OneReading reading(*this);
    bool maximized = window.IsMaximized();
    WriteValue(procedureName, "Maximize", maximized ? "Yes" : "No");
    // A maximized window keeps the normal placement of an earlier close.
    if (maximized) return;
    WriteValue(procedureName, "XPos", window.X());
    WriteValue(procedureName, "YPos", window.Y());
    if (!window.IsResizable()) return;
    WriteValue(procedureName, "Height", window.Height());
    WriteValue(procedureName, "Width", window.Width());
}

void SettingsFile::RestoreWindow(std::string_view procedureName, PlacedWindow& window) {
    OneReading reading(*this);
    std::string stored = ReadValue(procedureName, "Maximize");
    bool maximize = EqualNoCase(stored, "Yes");
    if (!maximize && !EqualNoCase(stored, "No")) return;
    if (!maximize && window.IsMaximized()) window.SetMaximized(false);
    if (!ReadValue(procedureName, "XPos").empty()) {
        int x = StoredOr(ReadChecked(procedureName, "XPos"), window.X());
        int y = StoredOr(ReadChecked(procedureName, "YPos"), window.Y());
        window.SetPosition(x, y);
        if (window.IsResizable()) {
            int width = StoredOr(ReadChecked(procedureName, "Width"), window.Width());
            int height = StoredOr(ReadChecked(procedureName, "Height"), window.Height());
            // A window shrunk to nothing could not be found again to be resized.
            if (width <= 0) width = window.Width();
            if (height <= 0) height = window.Height();
            window.SetSize(width, height);
        }
    }
    if (window.IsMaximized() != maximize) window.SetMaximized(maximize);
}

SettingsFile& GlobalSettings() {
    static SettingsFile settings;
    return settings;
}

}  // namespace verdo
