#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <vector>

#include "framework/SettingsFile.h"
#include "tests/support/TempProgramDir.h"

using namespace verdo;
using verdo::test::FileExists;
using verdo::test::ReadFileBytes;
using verdo::test::TempProgramDir;
using verdo::test::WriteFileBytes;

namespace {

// A window that remembers its normal placement while maximized, as real windows do,
// and logs every change asked of it.
class FakeWindow : public PlacedWindow {
public:
    FakeWindow(int x, int y, int width, int height, bool resizable = true)
        : x_(x), y_(y), width_(width), height_(height), resizable_(resizable) {}

    bool IsMinimized() const override { return minimized_; }
    bool IsMaximized() const override { return maximized_; }
    bool IsResizable() const override { return resizable_; }
    int X() const override { return maximized_ ? 0 : x_; }
    int Y() const override { return maximized_ ? 0 : y_; }
    int Width() const override { return maximized_ ? 1000 : width_; }
    int Height() const override { return maximized_ ? 800 : height_; }
    void SetPosition(int x, int y) override {
        x_ = x;
        y_ = y;
        log.push_back("position " + std::to_string(x) + "," + std::to_string(y));
    }
    void SetSize(int width, int height) override {
        width_ = width;
        height_ = height;
        log.push_back("size " + std::to_string(width) + "x" + std::to_string(height));
    }
    void SetMaximized(bool maximized) override {
        maximized_ = maximized;
        log.push_back(maximized ? "maximize" : "normal");
    }

    std::vector<std::string> log;
    bool minimized_ = false;
    bool maximized_ = false;

private:
    int x_, y_, width_, height_;
    bool resizable_;
};

// Keeps the values in memory, to show that nothing reaches the file but through the two
// accesses.
class MemorySettings : public SettingsFile {
public:
    std::string ReadProfile(std::string_view section, std::string_view key, std::string_view defaultValue) override {
        auto found = values.find(std::string(section) + "/" + std::string(key));
        return found == values.end() ? std::string(defaultValue) : found->second;
    }
    bool WriteProfile(std::string_view section, std::string_view key, std::string_view value) override {
        values[std::string(section) + "/" + std::string(key)] = value;
        order.push_back(std::string(key));
        return true;
    }
    std::map<std::string, std::string> values;
    std::vector<std::string> order;
    std::string nameWhenOpened;

protected:
    void Opened() override { nameWhenOpened = FILENAME; }
};

using Log = std::vector<std::string>;

// Counts the openings of one file of a directory, as the kernel reports them.
class OpenCounter {
public:
    OpenCounter(const std::string& directory, std::string name)
        : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), name_(std::move(name)) {
        // Closings are watched too: the kernel merges events that follow each other unread
        // when they are alike, and would report a run of openings as one.
        EXPECT_GE(inotify_add_watch(fd_, directory.c_str(), IN_OPEN | IN_CLOSE), 0);
    }
    ~OpenCounter() { close(fd_); }
    OpenCounter(const OpenCounter&) = delete;
    OpenCounter& operator=(const OpenCounter&) = delete;

    // The openings since the last call.
    int Take() {
        int count = 0;
        alignas(inotify_event) char buffer[65536];
        for (ssize_t n; (n = read(fd_, buffer, sizeof buffer)) > 0;) {
            for (char* at = buffer; at < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                if ((event->mask & IN_OPEN) && event->len > 0 && name_ == event->name) ++count;
                at += sizeof(inotify_event) + event->len;
            }
        }
        return count;
    }

private:
    int fd_;
    std::string name_;
};

std::string RegisterOf(int entries) {
    std::string text = "[__Dont_Touch_Me__]\nSectors=" + std::to_string(entries) + "\n";
    for (int i = 1; i <= entries; ++i) {
        std::string n = std::to_string(i);
        text += "Sectors_" + n + "=Family" + n + ",Item" + n + ",Type" + n + "\n";
    }
    return text;
}

ino_t InodeOf(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_ino;
}

}  // namespace

TEST(SettingsFile, RegisterRoundTripKeepsKeysOfALargerEarlierCount) {
    TempProgramDir dir;
    std::string file = dir.File("VERDO.INI");
    WriteFileBytes(file,
                   "[__Dont_Touch_Me__]\n"
                   "Sectors=3\n"
                   "Sectors_1=Query,Browse,Local\n"
                   "Sectors_2=Solo\n"
                   "Sectors_3=" + std::string(150, 'f') + ",Item\n");
    SettingsFile settings;
    settings.Open(file);
    EXPECT_EQ(settings.FILENAME, file);
    ASSERT_EQ(settings.SECTORS.size(), 3u);
    EXPECT_EQ(settings.SECTORS[0].FAMILY, "Query");
    EXPECT_EQ(settings.SECTORS[0].ITEM, "Browse");
    EXPECT_EQ(settings.SECTORS[0].TYPE, "Local");
    EXPECT_EQ(settings.SECTORS[1].FAMILY, "Solo");
    EXPECT_EQ(settings.SECTORS[1].ITEM, "");
    EXPECT_EQ(settings.SECTORS[2].FAMILY, std::string(100, 'f'));
    EXPECT_EQ(settings.SECTORS[2].ITEM, "Item");

    settings.SECTORS.erase(settings.SECTORS.begin() + 1, settings.SECTORS.end());
    settings.SECTORS.push_back({"Family", "", "Type"});
    settings.Close();
    EXPECT_TRUE(settings.SECTORS.empty());
    EXPECT_EQ(ReadFileBytes(file),
              "[__Dont_Touch_Me__]\n"
              "Sectors=2\n"
              "Sectors_1=Query,Browse,Local\n"
              "Sectors_2=Family,,Type\n"
              "Sectors_3=" + std::string(150, 'f') + ",Item\n");

    settings.Open(file);
    ASSERT_EQ(settings.SECTORS.size(), 2u);
    EXPECT_EQ(settings.SECTORS[1].ITEM, "");
    EXPECT_EQ(settings.SECTORS[1].TYPE, "Type");
}

TEST(SettingsFile, OpenWithoutAFileStartsAnEmptyRegisterAndCloseCreatesIt) {
    TempProgramDir dir;
    std::string file = dir.File("VERDO.INI");
    SettingsFile settings;
    settings.Open(file);
    EXPECT_TRUE(settings.SECTORS.empty());
    EXPECT_FALSE(FileExists(file));
    settings.Close();
    EXPECT_EQ(ReadFileBytes(file), "[__Dont_Touch_Me__]\nSectors=0\n");
}

TEST(SettingsFile, CorruptRegisterCountsAreBounded) {
    MemorySettings settings;
    settings.values["__Dont_Touch_Me__/Sectors"] = "-4";
    settings.Open("VERDO.INI");
    EXPECT_TRUE(settings.SECTORS.empty());
    settings.values["__Dont_Touch_Me__/Sectors"] = "4000000000";
    settings.Open("VERDO.INI");
    EXPECT_EQ(settings.SECTORS.size(), 1000u);
}

TEST(SettingsFile, ValuesAreReadCheckedSplitAndConverted) {
    TempProgramDir dir;
    std::string file = dir.File("VERDO.INI");
    WriteFileBytes(file, "[VERDO]\nBrowseFormat= 48R(2)|M~Resource #~C(0)@n-14@ \nParts=a,b,,d\nCount=12\nText=abc\n");
    SettingsFile settings;
    settings.Open(file);

    EXPECT_EQ(settings.ReadValue("VERDO", "BrowseFormat"), "48R(2)|M~Resource #~C(0)@n-14@");
    EXPECT_EQ(settings.ReadValue("VERDO", "Missing"), "");
    EXPECT_EQ(settings.ReadChecked("VERDO", "Parts"), "a,b,,d");
    EXPECT_EQ(settings.AssertText(), "");
    EXPECT_EQ(settings.ReadChecked("VERDO", "Missing"), "---Unknown---");
    EXPECT_EQ(settings.AssertText(), "INI Assert: Could not find Missing in sector VERDO of " + file);
    EXPECT_EQ(settings.ReadPart("VERDO", "Parts", 1), "a");
    EXPECT_EQ(settings.ReadPart("VERDO", "Parts", 2), "b");
    EXPECT_EQ(settings.ReadPart("VERDO", "Parts", 3), "");
    EXPECT_EQ(settings.ReadPart("VERDO", "Parts", 4), "d");
    EXPECT_EQ(settings.ReadPart("VERDO", "Parts", 5), "");
    EXPECT_EQ(settings.ReadPart("VERDO", "Parts", 0), "");
    EXPECT_EQ(settings.ReadPart("VERDO", "None", 1), "---Unknown---");

    std::string text = "kept";
    settings.ReadInto("VERDO", "Missing", text);
    EXPECT_EQ(text, "kept");
    settings.ReadInto("VERDO", "Text", text);
    EXPECT_EQ(text, "abc");

    char format[8];
    AssignField(format, "");
    settings.ReadInto("VERDO", "Missing", format);
    EXPECT_EQ(std::string(format, 8), "        ");
    settings.ReadInto("VERDO", "BrowseFormat", format);
    EXPECT_EQ(std::string(format, 8), "48R(2)|M");

    unsigned short count = 7;
    settings.ReadInto("VERDO", "Missing", count);
    EXPECT_EQ(count, 7);
    settings.ReadInto("VERDO", "Count", count);
    EXPECT_EQ(count, 12);
    long number = -3;
    settings.ReadInto("VERDO", "Missing", number);
    EXPECT_EQ(number, -3);
    settings.ReadInto("VERDO", "Text", number);
    EXPECT_EQ(number, 0);

    settings.WriteValue("VERDO", "Count", -42);
    settings.WriteValue("VERDO", "Size", size_t{4000000000});
    settings.WriteValue("VERDO", "Text", std::string("x y"));
    EXPECT_EQ(settings.ReadValue("VERDO", "Count"), "-42");
    EXPECT_EQ(settings.ReadValue("VERDO", "Size"), "4000000000");
    EXPECT_EQ(settings.ReadValue("VERDO", "Text"), "x y");
}

TEST(SettingsFile, FirstRunRestoresNothingAndCloseCreatesTheSection) {
    TempProgramDir dir;
    std::string file = dir.File("VERDO.INI");
    SettingsFile settings;
    settings.Open(file);
    FakeWindow window(10, 20, 300, 200);
    settings.RestoreWindow("Main", window);
    EXPECT_EQ(window.log, Log{});
    settings.SaveWindow("Main", window);
    EXPECT_EQ(ReadFileBytes(file), "[Main]\nMaximize=No\nXPos=10\nYPos=20\nHeight=200\nWidth=300\n");
}

TEST(SettingsFile, WindowClosedMaximizedReopensMaximizedOverItsLastNormalPlacement) {
    TempProgramDir dir;
    SettingsFile settings;
    settings.Open(dir.File("VERDO.INI"));
    FakeWindow first(10, 20, 300, 200);
    settings.SaveWindow("BrowseRESFile", first);
    first.SetPosition(50, 60);
    first.SetMaximized(true);
    settings.SaveWindow("BrowseRESFile", first);
    EXPECT_EQ(settings.ReadValue("BrowseRESFile", "Maximize"), "Yes");
    EXPECT_EQ(settings.ReadValue("BrowseRESFile", "XPos"), "10");

    FakeWindow second(0, 0, 100, 100);
    settings.RestoreWindow("BrowseRESFile", second);
    EXPECT_EQ(second.log, (Log{"position 10,20", "size 300x200", "maximize"}));
    second.SetMaximized(false);
    EXPECT_EQ(second.X(), 10);
    EXPECT_EQ(second.Width(), 300);

    // Saved as normal while the new window opens maximized: it is made normal first.
    FakeWindow normal(10, 20, 300, 200);
    settings.SaveWindow("BrowseRESFile", normal);
    FakeWindow third(0, 0, 100, 100);
    third.maximized_ = true;
    settings.RestoreWindow("BrowseRESFile", third);
    EXPECT_EQ(third.log, (Log{"normal", "position 10,20", "size 300x200"}));
}

TEST(SettingsFile, FixedSizeWindowWritesOnlyStateAndPosition) {
    MemorySettings settings;
    FakeWindow window(-5, 7, 300, 200, false);
    settings.SaveWindow("PreviewRES", window);
    EXPECT_EQ(settings.order, (Log{"Maximize", "XPos", "YPos"}));
    EXPECT_EQ(settings.values["PreviewRES/XPos"], "-5");

    settings.values["PreviewRES/Width"] = "999";
    FakeWindow reopened(0, 0, 300, 200, false);
    settings.RestoreWindow("PreviewRES", reopened);
    EXPECT_EQ(reopened.log, Log{"position -5,7"});
}

TEST(SettingsFile, MinimizedWindowLeavesItsSectionUnchanged) {
    TempProgramDir dir;
    std::string file = dir.File("VERDO.INI");
    std::string before = "[Main]\r\nMaximize=Yes\r\nXPos=1\r\n";
    WriteFileBytes(file, before);
    SettingsFile settings;
    settings.Open(file);
    FakeWindow window(10, 20, 300, 200);
    window.minimized_ = true;
    settings.SaveWindow("Main", window);
    EXPECT_EQ(ReadFileBytes(file), before);
}

TEST(SettingsFile, MaximizedStateAloneIsRestoredWithoutAPosition) {
    MemorySettings settings;
    settings.values["Main/Maximize"] = "Yes";
    settings.values["Main/Width"] = "500";
    FakeWindow window(10, 20, 300, 200);
    settings.RestoreWindow("Main", window);
    EXPECT_EQ(window.log, Log{"maximize"});

    settings.values["Main/Maximize"] = "Perhaps";
    settings.values["Main/XPos"] = "1";
    FakeWindow untouched(10, 20, 300, 200);
    settings.RestoreWindow("Main", untouched);
    EXPECT_EQ(untouched.log, Log{});
}

TEST(SettingsFile, MissingOrBrokenNumbersKeepTheWindowsOwn) {
    MemorySettings settings;
    settings.values["UpdateRESFile/Maximize"] = "no";
    settings.values["UpdateRESFile/XPos"] = "30";
    settings.values["UpdateRESFile/YPos"] = "abc";
    settings.values["UpdateRESFile/Height"] = "0";
    FakeWindow window(10, 20, 300, 200);
    settings.RestoreWindow("UpdateRESFile", window);
    EXPECT_EQ(window.log, (Log{"position 30,20", "size 300x200"}));
}

TEST(SettingsFile, EverythingGoesThroughTheTwoAccesses) {
    TempProgramDir dir;
    std::string file = dir.File("VERDO.INI");
    MemorySettings settings;
    settings.values["__Dont_Touch_Me__/Sectors"] = "1";
    settings.values["__Dont_Touch_Me__/Sectors_1"] = "F,I,T";
    settings.Open(file);
    EXPECT_EQ(settings.nameWhenOpened, file);
    ASSERT_EQ(settings.SECTORS.size(), 1u);
    EXPECT_EQ(settings.SECTORS[0].TYPE, "T");
    FakeWindow window(1, 2, 3, 4);
    settings.SaveWindow("Main", window);
    settings.RestoreWindow("Main", window);
    settings.WriteValue("VERDO", "BrowseFormat", "x");
    settings.Close();
    EXPECT_EQ(settings.values["__Dont_Touch_Me__/Sectors_1"], "F,I,T");
    EXPECT_FALSE(FileExists(file));
}

TEST(SettingsFile, ALargeRegisterIsReadInOneGoAndNotWrittenBackUnchanged) {
    TempProgramDir dir;
    std::string file = dir.File("VERDO.INI");
    const std::string text = RegisterOf(1000) + "[Main]\nMaximize=No\nXPos=10\nYPos=20\n";
    WriteFileBytes(file, text);
    const ino_t before = InodeOf(file);
    OpenCounter opened(dir.Path(), "VERDO.INI");
    SettingsFile settings;
    settings.Open(file);
    EXPECT_EQ(opened.Take(), 1);
    ASSERT_EQ(settings.SECTORS.size(), 1000u);
    EXPECT_EQ(settings.SECTORS[999].TYPE, "Type1000");

    FakeWindow window(10, 20, 300, 200, false);
    settings.RestoreWindow("Main", window);
    settings.SaveWindow("Main", window);
    EXPECT_EQ(opened.Take(), 2) << "one reading for each";
    settings.Close();
    EXPECT_EQ(opened.Take(), 1);
    EXPECT_TRUE(ReadFileBytes(file) == text);
    EXPECT_EQ(InodeOf(file), before) << "nothing was written";

    // A write that changes something reaches the file, and the next key is read anew.
    settings.Open(file);
    window.SetPosition(11, 20);
    settings.SaveWindow("Main", window);
    EXPECT_EQ(settings.ReadValue("Main", "XPos"), "11");
}

TEST(SettingsFile, AFileTooLargeToReadKeepsItsRegister) {
    TempProgramDir dir;
    std::string file = dir.File("VERDO.INI");
    std::string text = RegisterOf(1000) + "[Padding]\n";
    for (int i = 0; text.size() < 2'000'000; ++i) text += "Line" + std::to_string(i) + "=" + std::string(90, 'p') + "\n";
    WriteFileBytes(file, text);
    SettingsFile settings;
    settings.Open(file);
    EXPECT_TRUE(settings.SECTORS.empty()) << "more than look-ups read";
    settings.Close();
    EXPECT_TRUE(ReadFileBytes(file) == text) << "the register count was not reset";
}

TEST(SettingsFile, TwoProcessesWritingAtOnceLoseNoKey) {
    TempProgramDir dir;
    std::string file = dir.File("VERDO.INI");
    constexpr int writes = 100;
    std::vector<pid_t> writers;
    for (std::string section : {"BrowseRESFile", "UpdateRESFile"}) {
        pid_t writer = fork();
        if (writer == 0) {
            SettingsFile settings;
            settings.FILENAME = file;
            for (int i = 0; i < writes; ++i) settings.WriteValue(section, "Key" + std::to_string(i), i);
            _exit(0);
        }
        writers.push_back(writer);
    }
    for (pid_t writer : writers) waitpid(writer, nullptr, 0);
    SettingsFile settings;
    settings.FILENAME = file;
    int missing = 0;
    for (std::string section : {"BrowseRESFile", "UpdateRESFile"})
        for (int i = 0; i < writes; ++i) missing += settings.ReadValue(section, "Key" + std::to_string(i)).empty();
    EXPECT_EQ(missing, 0);
}
