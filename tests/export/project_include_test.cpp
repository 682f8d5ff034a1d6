#include <gtest/gtest.h>

#include <string>

#include "core/Records.h"
#include "export/ExportValues.h"
#include "export/ProjectInclude.h"
#include "runtime/text/Text.h"

using namespace verdo;

namespace {

ProjectIncludeValues Values(bool increments) {
    ProjectIncludeValues v;
    v.ProjectBase = "/home/dev/my apps/MYAPP";
    v.ShortProgramFile = "/opt/tools/verdo";
    v.ProjectNumber = 12;
    v.IncrementsConfigured = increments;
    v.ShortResFile = "/home/dev/my apps/MYAPP.RES";
    return v;
}

}  // namespace

TEST(ProjectInclude, WithoutIncrementsElevenLinesAndNoRun) {
    const std::string expected =
        "-- VERDO 2.0 Project File\r\n"
        "#message \"Loading VERDO 2.0 Project file...\"\r\n"
        "#if \x91%system \x92=win32 #then\r\n"
        "  -- Link in the following RES file: /home/dev/my apps/MYAPP.RES\r\n"
        "  #message \"Linking the /home/dev/my apps/MYAPP.RES file into the APP...\"\r\n"
        "  #pragma link(/home/dev/my apps/MYAPP.RES)\r\n"
        "#else\r\n"
        "  #message \"***ERROR*** VERDO 2.0 will not work with 16bit applications.\"\r\n"
        "  #message \"Link of /home/dev/my apps/MYAPP.RES has been aborted.\"\r\n"
        "#endif\r\n"
        "\r\n";
    EXPECT_EQ(ComposeProjectInclude(Values(false)), expected);
}

TEST(ProjectInclude, WithIncrementsTheBuildRunsTheProgramFirst) {
    const std::string expected =
        "-- VERDO 2.0 Project File\r\n"
        "#message \"Loading VERDO 2.0 Project file...\"\r\n"
        "#if \x91%system \x92=win32 #then\r\n"
        "  -- AutoInc\r\n"
        "  #message \"Calling VERDO 2.0 to AutoInc...\"\r\n"
        "  #run \"/opt/tools/verdo 12\"\r\n"
        "\r\n"
        "  -- Link in the following RES file: /home/dev/my apps/MYAPP.RES\r\n"
        "  #message \"Linking the /home/dev/my apps/MYAPP.RES file into the APP...\"\r\n"
        "  #pragma link(/home/dev/my apps/MYAPP.RES)\r\n"
        "#else\r\n"
        "  #message \"***ERROR*** VERDO 2.0 will not work with 16bit applications.\"\r\n"
        "  #message \"Link of /home/dev/my apps/MYAPP.RES has been aborted.\"\r\n"
        "#endif\r\n"
        "\r\n";
    EXPECT_EQ(ComposeProjectInclude(Values(true)), expected);
}

TEST(ProjectInclude, LinkLineUsesTheShortFormAndOtherLinesTheProjectBase) {
    ProjectIncludeValues v = Values(true);
    v.ShortResFile = "/short/M.RES";
    v.ShortProgramFile = "/short/verdo";
    v.ProjectNumber = 2147483647;
    const std::string text = ComposeProjectInclude(v);
    EXPECT_NE(text.find("  #pragma link(/short/M.RES)\r\n"), std::string::npos);
    EXPECT_NE(text.find("  #run \"/short/verdo 2147483647\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("Link of /home/dev/my apps/MYAPP.RES has"), std::string::npos);
    EXPECT_EQ(text.find("/short/M.RES file into"), std::string::npos);
}

TEST(ExportValues, XXXXStandsForUSEnglish) {
    RESFileRecord p;
    ClearRecord(RESFileTable(), &p);
    AssignField(p.LangID, "XXXX");
    EXPECT_EQ(ExportLanguage(p), "0409");
    AssignField(p.LangID, "0c07");
    EXPECT_EQ(ExportLanguage(p), "0c07");
    AssignField(p.LangID, "xxxx");
    EXPECT_EQ(ExportLanguage(p), "xxxx");
}

TEST(ExportValues, AnyNonZeroStepConfiguresIncrements) {
    RESFileRecord p;
    ClearRecord(RESFileTable(), &p);
    EXPECT_FALSE(IncrementsConfigured(p));
    p.INC_PV_4 = 1;
    EXPECT_TRUE(IncrementsConfigured(p));
    // Steps whose 32-bit sum wraps to exactly 0 are still configured.
    p.INC_PV_4 = 0;
    p.INC_PV_1 = 0xFFFFFFFF;
    p.INC_FV_1 = 1;
    EXPECT_TRUE(IncrementsConfigured(p));
}
