#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "runtime/store/StoreEngines.h"
#include "tests/support/Process.h"
#include "tests/support/StoreClient.h"
#include "tests/support/TempProgramDir.h"
#include "tests/support/TestServer.h"

using namespace verdo::test;

namespace {

// verdo-store beside verdo, on the store verdo uses: a file, or a database on the test
// server as on a build agent. Project 12 has its own value in every field that shows.
class ProjectFiles : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        std::string program = dir.InstallProgram();
        tool = dir.InstallStoreTool();
        if (GetParam()) {
            dir.InstallServerModule();
            schema = std::make_unique<ServerSchema>();
            environment = {{"VERDO_STORE", schema->Connection()}};
            store = verdo::ServerStoreName(schema->Connection());
        } else {
            store = dir.File("VERDO");
        }
        ASSERT_EQ(RunProcess(program, {"1"}, environment).ExitCode, 0);
        StoreSql(store, "INSERT INTO RESFile (RESNumber, ProjectName, ProjectPath, FV_1, FV_2, FV_3, FV_4, PV_1, PV_2, "
                        "PV_3, PV_4, INC_FV_4, INC_PV_2, CompanyName, ProductName, LangID, CodePage, FileOS, FileType, "
                        "EnterDate) VALUES (12, 'MYAPP', '" + dir.Path() + "', 1, 2, 3, 7, 5, 6, 9, 11, 1, 3, "
                        "'ACME \"Tools\"', 'Viewer', '0409', '04b0', " + BytesLiteral(store, "04000400") + ", " +
                        BytesLiteral(store, "02") + ", 20261210);"
                        "INSERT INTO ExtraSeg (RESNumber, SegName, SegData) VALUES (12, 'Branch', 'main')");
    }

    ProcessResult Tool(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"-C", dir.Path(), tool});
        return RunProcess("/usr/bin/env", arguments, environment);
    }
    std::string Value(const std::string& sql) { return StoreValue(store, sql); }
    std::string Raised() { return Value("SELECT FV_4 FROM RESFile WHERE RESNumber = 12"); }

    TempProgramDir dir;
    std::string tool;
    std::string store;
    std::unique_ptr<ServerSchema> schema;
    std::vector<std::pair<std::string, std::string>> environment;
};

INSTANTIATE_TEST_SUITE_P(Engines, ProjectFiles, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Server" : "File"; });

ino_t Inode(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

}  // namespace

// show reads the project as the store holds it, with the numbers the next build gives,
// and raises and stamps nothing; it does not wait for a build that holds the project.
TEST_P(ProjectFiles, ShowPrintsAProjectForPeopleAndScriptsAndWaitsForNoBuild) {
    ProcessResult shown = Tool({"show", "12"});
    EXPECT_EQ(shown.ExitCode, 0) << shown.Errors;
    for (const char* line : {"Project 12: MYAPP\n", "File version: 1.2.3.7 (the next build gives 1.2.3.8)\n",
                             "Product version: 5.6.9.11 (the next build gives 5.9.9.11)\n",
                             "CompanyName: ACME \"Tools\"\n", "  Branch: main\n", "File type: 0x02 VFT_DLL\n",
                             "Language: 0409 English (United States)\n", "Code page: 04b0 Unicode\n"})
        EXPECT_NE(shown.Output.find(line), std::string::npos) << line << shown.Output;

    StoreClient build(store);
    ASSERT_TRUE(build.Exec(GetParam() ? "BEGIN; SELECT FV_4 FROM RESFile WHERE RESNumber = 12 FOR UPDATE"
                                      : "BEGIN IMMEDIATE; UPDATE RESFile SET FV_4 = 7 WHERE RESNumber = 12"));
    auto started = std::chrono::steady_clock::now();
    ProcessResult json = Tool({"show", "12", "--json"});
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2)) << "it waited for the build";
    build.Exec("ROLLBACK");
    EXPECT_EQ(json.ExitCode, 0) << json.Errors;
    WriteFileBytes(dir.File("shown.json"), json.Output);
    ProcessResult read = RunProcess("/usr/bin/python3", {"-c",
        "import json,sys; d=json.load(open(sys.argv[1],encoding='utf-8')); print(d['project'], d['file_version'], "
        "d['next_product_version'], d['strings']['CompanyName'], d['extra_strings'], d['file_type']['name'], "
        "d['enter_date'], d['export_date'])", dir.File("shown.json")});
    EXPECT_EQ(read.Output, "12 1.2.3.7 5.9.9.11 ACME \"Tools\" [{'name': 'Branch', 'value': 'main'}] VFT_DLL "
                           "2026-12-10 None\n") << json.Output;
    EXPECT_EQ(Raised(), "7");
    EXPECT_EQ(Value("SELECT ExportDate FROM RESFile WHERE RESNumber = 12"), "0");

    for (std::vector<std::string> misused : {std::vector<std::string>{"show"}, {"show", "12", "--xml"}}) {
        ProcessResult refused = Tool(misused);
        EXPECT_EQ(refused.ExitCode, 2);
        EXPECT_EQ(refused.Errors.rfind("usage: verdo-store", 0), 0u);
    }
    ProcessResult missing = Tool({"show", "13"});
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_EQ(missing.Errors, "VERDO: there is no project 13\n");
}

// A build writes the other files after its commit with the numbers of its .RES; a build
// that keeps the numbers leaves them as they are; one that cannot be written stops the
// build before the numbers move.
TEST_P(ProjectFiles, ABuildsFilesCarryTheNumbersOfItsResFile) {
    const std::string header = dir.File("include/version.h");
    std::filesystem::create_directory(dir.File("include"));
    ProcessResult built = Tool({"build", "12", dir.File("MYAPP.RES"), "--write", "h:include/version.h", "--write",
                                "json:version.json", "--prefix", "APP"});
    ASSERT_EQ(built.ExitCode, 0) << built.Errors;
    EXPECT_EQ(built.Errors, "");
    EXPECT_EQ(Raised(), "8");
    const std::string res = ReadFileBytes(dir.File("MYAPP.RES"));
    std::string wide;
    for (char c : std::string("1.2.3.8")) wide += std::string{c, '\0'};
    EXPECT_NE(res.find(wide), std::string::npos);
    EXPECT_NE(ReadFileBytes(header).find("#define APP_FILE_VERSION 1,2,3,8\n"), std::string::npos);
    EXPECT_NE(ReadFileBytes(dir.File("version.json")).find("\"file_version\": \"1.2.3.8\""), std::string::npos);

    ino_t before = Inode(header);
    ProcessResult kept = Tool({"export", "12", "--write", "h:include/version.h", "--prefix", "APP"});
    EXPECT_EQ(kept.ExitCode, 0) << kept.Errors;
    EXPECT_EQ(Inode(header), before) << "a header that holds its bytes is not written again";

    ProcessResult unwritable = Tool({"build", "12", "--write", "h:include/version.h", "--write", "rc:gone/version.rc"});
    EXPECT_EQ(unwritable.ExitCode, 1);
    EXPECT_EQ(unwritable.Errors,
              "VERDO: project 12: gone/version.rc could not be written: No such file or directory\n");
    EXPECT_EQ(Raised(), "8") << "the numbers stay where the files are";
    EXPECT_TRUE(ReadFileBytes(dir.File("MYAPP.RES")) == res);
    EXPECT_EQ(Inode(header), before);
}

// write makes one file from the numbers the store holds; what it cannot do is said in
// one line with a status of its own.
TEST_P(ProjectFiles, WriteMakesOneFileAndRefusesWhatItCannotDo) {
    ProcessResult written = Tool({"write", "12", "rc", "version.rc"});
    EXPECT_EQ(written.ExitCode, 0) << written.Errors;
    EXPECT_NE(ReadFileBytes(dir.File("version.rc")).find("FILEVERSION 1,2,3,7\n"), std::string::npos);
    EXPECT_EQ(Raised(), "7");

    struct Refusal {
        std::vector<std::string> Arguments;
        int Status;
        std::string Line;
    };
    for (const Refusal& refusal :
         {Refusal{{"write", "12", "exe", "x.exe"}, 2,
                   "verdo-store: exe is not a format; the formats are h, rc, nsh, iss, wxi, json\n"},
          Refusal{{"write", "12", "h", "x.h", "--prefix", "2APP"}, 2,
                  "verdo-store: the prefix 2APP is no C identifier (letters, digits and _, not starting with a digit)\n"},
          Refusal{{"write", "12", "h", "x.h", "--colour"}, 2, "verdo-store: --colour is not understood here\n"},
          Refusal{{"build", "12", "--write", "h"}, 2, "verdo-store: h names no file to write (FORMAT:FILE)\n"},
          Refusal{{"write", "13", "h", "x.h"}, 1, "VERDO: there is no project 13\n"},
          Refusal{{"write", "12", "h", "gone/x.h"}, 1,
                  "VERDO: project 12: gone/x.h could not be written: No such file or directory\n"}}) {
        ProcessResult refused = Tool(refusal.Arguments);
        EXPECT_EQ(refused.ExitCode, refusal.Status) << refusal.Line;
        EXPECT_EQ(refused.Errors, refusal.Line);
    }
    EXPECT_FALSE(FileExists(dir.File("x.h")));
    EXPECT_EQ(Raised(), "7");
}
