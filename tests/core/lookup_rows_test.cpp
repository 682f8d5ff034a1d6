#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <sstream>

#include "core/LookupRows.h"

using namespace verdo;

namespace {

bool IsHex(char c, bool lowerOnly) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (!lowerOnly && c >= 'A' && c <= 'F');
}

// The value column of the source text: a hex number of at most `digits` digits after "0x"
// for raw values (rawBytes > 0), exactly four lowercase hex digits otherwise.
void CheckSourceValue(const std::string& value, size_t rawBytes) {
    if (rawBytes == 0) {
        ASSERT_EQ(value.size(), 4u) << value;
        for (char c : value) EXPECT_TRUE(IsHex(c, true)) << value;
        return;
    }
    ASSERT_TRUE(value.starts_with("0x")) << value;
    std::string digits = value.substr(2);
    EXPECT_FALSE(digits.empty()) << value;
    EXPECT_LE(digits.size(), 2 * rawBytes) << value;
    for (char c : digits) EXPECT_TRUE(IsHex(c, false)) << value;
}

void CheckTable(const std::string& table, size_t rawBytes) {
    SCOPED_TRACE(table);
    std::istringstream source(LookupRowsText(table));
    std::string line;
    ASSERT_TRUE(std::getline(source, line));
    EXPECT_TRUE(line.starts_with("#"));
    size_t sourceRows = 0;
    while (std::getline(source, line)) {
        if (line.empty()) continue;
        ++sourceRows;
        size_t tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        CheckSourceValue(line.substr(0, tab), rawBytes);
    }

    std::vector<LookupRow> rows = StandardLookupRows(table);
    EXPECT_EQ(rows.size(), sourceRows);
    std::set<std::string> values;
    for (const LookupRow& row : rows) {
        EXPECT_FALSE(row.Name.empty());
        EXPECT_LE(row.Name.size(), 35u) << row.Name;
        for (char c : row.Name) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << row.Name;
        EXPECT_EQ(row.Value.size(), rawBytes ? rawBytes : 4u) << row.Name;
        EXPECT_TRUE(values.insert(row.Value).second) << "duplicate value of " << row.Name;
    }
}

std::optional<LookupRow> RowWithValue(const std::string& table, const std::string& value) {
    for (const LookupRow& row : StandardLookupRows(table))
        if (row.Value == value) return row;
    return std::nullopt;
}

}  // namespace

TEST(LookupRows, EveryRowHasTheShapeOfItsTable) {
    CheckTable("FileOS", 4);
    CheckTable("FileType", 1);
    CheckTable("CodePage", 0);
    CheckTable("LangID", 0);
    EXPECT_GE(StandardLookupRows("LangID").size(), 100u);
}

TEST(LookupRows, TheDefaultsOfANewProjectArePresent) {
    auto os = RowWithValue("FileOS", std::string("\x04\x00\x04\x00", 4));
    ASSERT_TRUE(os);
    EXPECT_EQ(os->Name, "VOS_NT_WINDOWS32");
    auto type = RowWithValue("FileType", "\x01");
    ASSERT_TRUE(type);
    EXPECT_EQ(type->Name, "VFT_APP");
    auto language = RowWithValue("LangID", "0409");
    ASSERT_TRUE(language);
    EXPECT_EQ(language->Name, "English (United States)");
    EXPECT_TRUE(RowWithValue("CodePage", "04b0"));
}
