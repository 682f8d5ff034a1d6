#pragma once
#include <concepts>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/window/PlacedWindow.h"
#include "runtime/text/Text.h"

namespace verdo {

// A dynamically named section kept in the register; its name is
// FAMILY + "$" + ITEM + "$$" + TYPE.
struct SettingsSector {
    std::string FAMILY;
    std::string ITEM;
    std::string TYPE;
};

// Numbers stored in the settings file; characters and flags are not numbers here.
template <class T>
concept SettingsNumber = std::integral<T> && !std::same_as<T, bool> && !std::same_as<T, char>;

// Named values in the settings file, window placements and the register of dynamically
// named sections. Everything reaches the file through ReadProfile and WriteProfile.
// An operation that reads several keys (loading the register, restoring a window) reads
// the file once and takes them all from that reading; a value read on its own is read
// from the file as it is then.
class SettingsFile {
public:
    static constexpr std::string_view kRegisterSection = "__Dont_Touch_Me__";
    static constexpr std::string_view kUnknown = "---Unknown---";
    static constexpr size_t kSectorFieldSize = 100;

    SettingsFile();
    virtual ~SettingsFile();
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    std::string FILENAME;
    std::vector<SettingsSector> SECTORS;

    void Open(const std::string& fileName);
    void Close();

    // The stored value; empty when the key is missing.
    std::string ReadValue(std::string_view section, std::string_view key);

    // A missing key leaves the variable as it is.
    void ReadInto(std::string_view section, std::string_view key, std::string& variable);
    template <size_t N>
    void ReadInto(std::string_view section, std::string_view key, char (&field)[N]) {
        AssignField(field, ReadProfile(section, key, FieldText(field)));
    }
    // A value that is no decimal whole number reads as 0; one out of the type's range wraps.
    template <SettingsNumber T>
    void ReadInto(std::string_view section, std::string_view key, T& variable) {
        long long value = 0;
        if (ParseWhole(ReadProfile(section, key, std::to_string(variable)), value)) variable = static_cast<T>(value);
        else variable = 0;
    }

    void WriteValue(std::string_view section, std::string_view key, std::string_view value);
    template <SettingsNumber T>
    void WriteValue(std::string_view section, std::string_view key, T value) {
        WriteValue(section, key, std::to_string(value));
    }

    // A missing key yields "---Unknown---" and leaves a note in AssertText.
    std::string ReadChecked(std::string_view section, std::string_view key);
    // The n-th comma-separated part (n from 1) of ReadChecked's value; empty past the last.
    std::string ReadPart(std::string_view section, std::string_view key, int n);

    void SaveWindow(std::string_view procedureName, const PlacedWindow& window);
    void RestoreWindow(std::string_view procedureName, PlacedWindow& window);

    // The last missing key met by ReadChecked, for debugging; never shown to the user.
    const std::string& AssertText() const { return assertText_; }

    // The two accesses to the file, replaceable as a whole.
    virtual std::string ReadProfile(std::string_view section, std::string_view key, std::string_view defaultValue);
    virtual bool WriteProfile(std::string_view section, std::string_view key, std::string_view value);

    // Decimal whole number, optionally signed, nothing else but blanks around it.
    static bool ParseWhole(std::string_view text, long long& value);

protected:
    // Called by Open once the file name is set, before the register is loaded.
    virtual void Opened() {}

private:
    class OneReading;
    struct FileReading;

    void LoadRegister();
    void SaveRegister();
    const FileReading& Reading();

    bool open_ = false;
    std::string assertText_;
    // Within one operation, the file as read at its first look-up or after its last write.
    int readingDepth_ = 0;
    std::unique_ptr<FileReading> reading_;
};

// The one settings file of the process.
SettingsFile& GlobalSettings();

}  // namespace verdo
