#include <gtest/gtest.h>

#include <algorithm>
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

// The program and its tool in a fresh folder, on a store file or a database on the test
// server; project 12 writes into a folder of its own, with a file-version step of 1.
// The builds run with no CI variable and outside any repository, unless a test says so.
class BuildLedger : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        program = dir.InstallProgram();
        tool = dir.InstallStoreTool();
        if (GetParam()) {
            dir.InstallServerModule();
            schema = std::make_unique<ServerSchema>();
            environment.push_back({"VERDO_STORE", schema->Connection()});
            store = verdo::ServerStoreName(schema->Connection());
        } else {
            store = dir.File("VERDO");
        }
        for (const char* ci : {"GITHUB_SHA", "GITHUB_RUN_ID", "CI_COMMIT_SHA", "CI_JOB_URL", "GIT_COMMIT", "BUILD_URL",
                               "BUILD_SOURCEVERSION", "BUILD_BUILDID", "BUILD_VCS_NUMBER", "TEAMCITY_VERSION",
                               "VERDO_COMMIT", "VERDO_BUILD_URL", "VERDO_DIRTY_CHECK"})
            environment.push_back({ci, ""});
        out = dir.Path() + "out/";
        std::filesystem::create_directory(out);
        ASSERT_EQ(Run({"1"}).ExitCode, 0);
        Sql("INSERT INTO RESFile (RESNumber, ProjectName, ProjectPath, FV_1, FV_2, FV_3, FV_4, PV_1, PV_2, PV_3, PV_4, "
            "INC_FV_4, LangID, CodePage, FileOS, FileType) VALUES (12, 'MYAPP', '" + out + "', 2, 4, 6, 8, 3, 5, 7, 9, "
            "1, '0409', '04b0', " + BytesLiteral(store, "04000400") + ", " + BytesLiteral(store, "01") + ")");
    }

    ProcessResult Run(const std::vector<std::string>& arguments,
                      std::vector<std::pair<std::string, std::string>> extra = {}) {
        std::vector<std::pair<std::string, std::string>> all = environment;
        all.insert(all.end(), extra.begin(), extra.end());
        return RunProcess("/usr/bin/env", Chdir(program, arguments), all);
    }
    ProcessResult Tool(const std::vector<std::string>& arguments) {
        return RunProcess("/usr/bin/env", Chdir(tool, arguments), environment);
    }
    std::vector<std::string> Chdir(const std::string& what, const std::vector<std::string>& arguments) {
        std::vector<std::string> all = {"-C", folder.empty() ? dir.Path() : folder, what};
        all.insert(all.end(), arguments.begin(), arguments.end());
        return all;
    }
    void Sql(const std::string& sql) { StoreSql(store, sql); }
    std::string Value(const std::string& sql) { return StoreValue(store, sql); }
    std::string Rows() { return Value("SELECT count(*) FROM RESBuild"); }
    std::string Last(const std::string& columns) {
        return Value("SELECT " + columns + " FROM RESBuild ORDER BY rowid DESC LIMIT 1");
    }

    TempProgramDir dir;
    std::string program, tool, store, out, folder;
    std::unique_ptr<ServerSchema> schema;
    std::vector<std::pair<std::string, std::string>> environment;
};

INSTANTIATE_TEST_SUITE_P(Engines, BuildLedger, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Server" : "File"; });

std::string Shell(const std::string& command) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    std::string text;
    char buffer[512];
    while (pipe && fgets(buffer, sizeof buffer, pipe)) text += buffer;
    if (pipe) pclose(pipe);
    return text;
}

}  // namespace

// Each field of the row holds its own value: the numbers the file carries, both clocks
// (nine hours apart in Tokyo), the file, host and user, the commit and job of the CI.
TEST_P(BuildLedger, ABuildIsOnRecordWithWhatItWroteWhenWhereAndFromWhichCommit) {
    ProcessResult built = Run({"12"}, {{"TZ", "Asia/Tokyo"}, {"VERDO_COMMIT", "0123456789abcdef"},
                                       {"VERDO_BUILD_URL", "https://ci.example/job/7"}});
    ASSERT_EQ(built.Errors, "");
    EXPECT_EQ(Rows(), "1");
    EXPECT_EQ(Last("RESNumber || ' ' || ProjectName || ' ' || Kind || ' ' || FV_1 || '.' || FV_2 || '.' || FV_3 || '.' || "
                   "FV_4 || ' ' || PV_1 || '.' || PV_2 || '.' || PV_3 || '.' || PV_4"),
              "12 MYAPP build 2.4.6.9 3.5.7.9");
    EXPECT_EQ(Last("FileName || ' ' || CommitId || ' ' || Dirty || ' ' || JobUrl"),
              out + "MYAPP.RES 0123456789abcdef 2 https://ci.example/job/7");
    EXPECT_EQ(Last("HostName"), Shell("hostname").substr(0, Shell("hostname").find('\n')));
    EXPECT_EQ(Last("UserName"), Shell("id -un").substr(0, Shell("id -un").find('\n')));
    std::string utc = Last("TimeUtc"), local = Last("TimeLocal");
    // HHMMSScc: before 01:00 the number has fewer digits.
    ASSERT_FALSE(utc.empty() || local.empty());
    long utcHour = std::stol(utc) / 1000000, localHour = std::stol(local) / 1000000;
    EXPECT_EQ((utcHour + 9) % 24, localHour) << utc << " " << local;
    EXPECT_NE(Last("DateUtc"), "0");
    EXPECT_NE(Last("DateLocal"), "0");
    EXPECT_EQ(Last("ExportDate"), "") << "the ledger has no export stamp of its own";

    // The hash is that of the resource data: the file after its headers.
    std::string res = ReadFileBytes(out + "MYAPP.RES");
    WriteFileBytes(dir.File("data"), res.substr(64));
    EXPECT_EQ(Last("Sha256"), Shell("sha256sum " + dir.File("data")).substr(0, 64));
}

// Only a file that went in place is on record, and only with the numbers the store kept:
// an untouched file, a file that could not be written and a run whose numbers were not
// stored add nothing; a deleted project keeps its rows.
TEST_P(BuildLedger, OnlyFilesThatWentInPlaceWithStoredNumbersAreOnRecord) {
    ASSERT_EQ(Tool({"export", "12"}).ExitCode, 0);
    EXPECT_EQ(Last("Kind || ' ' || FV_4"), "export 8");
    ASSERT_EQ(Tool({"export", "12"}).ExitCode, 0);
    EXPECT_EQ(Rows(), "1") << "an untouched file adds no row";

    std::filesystem::remove(out + "MYAPP.RES");
    std::filesystem::create_directory(out + "MYAPP.RES");
    EXPECT_NE(Run({"12"}).Errors.find("could not be written"), std::string::npos);
    EXPECT_EQ(Rows(), "1") << "a file that did not go in place";
    EXPECT_EQ(Value("SELECT FV_4 FROM RESFile WHERE RESNumber = 12"), "9") << "the numbers are kept all the same";
    std::filesystem::remove(out + "MYAPP.RES");

    // A row the store refuses takes the numbers with it; a commit the store refuses the row.
    if (GetParam()) {
        Sql("CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE EXCEPTION 'no builds now'; "
            "END $$; CREATE CONSTRAINT TRIGGER at_commit AFTER UPDATE ON RESFile DEFERRABLE INITIALLY DEFERRED "
            "FOR EACH ROW EXECUTE FUNCTION refuse()");
    } else {
        Sql("CREATE TRIGGER refuse BEFORE INSERT ON RESBuild BEGIN SELECT RAISE(ABORT, 'no builds now'); END");
    }
    ProcessResult refused = Run({"12"});
    EXPECT_NE(refused.Errors.find("VERDO: project 12 was not exported: "), std::string::npos) << refused.Errors;
    EXPECT_NE(refused.Errors.find("no builds now"), std::string::npos) << refused.Errors;
    EXPECT_EQ(Rows(), "1");
    EXPECT_EQ(Value("SELECT FV_4 FROM RESFile WHERE RESNumber = 12"), "9");
    EXPECT_FALSE(FileExists(out + "MYAPP.RES"));
    Sql(GetParam() ? "DROP TRIGGER at_commit ON RESFile" : "DROP TRIGGER refuse");

    ASSERT_EQ(Run({"12"}).Errors, "");
    Sql("DELETE FROM RESFile WHERE RESNumber = 12");
    EXPECT_EQ(Value("SELECT count(*) || ' ' || max(FV_4) FROM RESBuild WHERE RESNumber = 12"), "2 10");
}

// log lists a project's builds newest first, which those of a file version, and verify
// finds the build that wrote a .RES file or the program it was linked into.
TEST_P(BuildLedger, LogWhichAndVerifyAnswerFromTheLedger) {
    for (const char* commit : {"c0ffee01", "c0ffee02", "c0ffee03"})
        ASSERT_EQ(Run({"12"}, {{"VERDO_COMMIT", commit}}).Errors, "");
    ProcessResult log = Tool({"log", "12"});
    EXPECT_EQ(log.ExitCode, 0) << log.Errors;
    size_t third = log.Output.find("c0ffee03"), second = log.Output.find("c0ffee02"), first = log.Output.find("c0ffee01");
    EXPECT_TRUE(third < second && second < first) << "newest first: " << log.Output;
    EXPECT_NE(log.Output.find("file 2.4.6.11  product 3.5.7.9"), std::string::npos) << log.Output;
    ProcessResult json = Tool({"log", "12", "--json"});
    WriteFileBytes(dir.File("log.json"), json.Output);
    ProcessResult keys = RunProcess("/usr/bin/python3", {"-c",
        "import json,sys; r=json.load(open(sys.argv[1]))[0]; print(len(json.load(open(sys.argv[1]))), r['project'], "
        "r['kind'], r['file_version'], r['product_version'], r['commit'], r['dirty'], r['job'], len(r['sha256']), "
        "r['time'][-1], sorted(r))", dir.File("log.json")});
    EXPECT_EQ(keys.Output, "3 12 build 2.4.6.11 3.5.7.9 c0ffee03 None None 64 Z ['commit', 'dirty', 'file', "
                           "'file_version', 'host', 'job', 'kind', 'local_time', 'name', 'product_version', 'project', "
                           "'sha256', 'time', 'user']\n") << json.Output;
    EXPECT_EQ(Tool({"log", "12", "--since", "2999-01-01"}).Output, "");
    EXPECT_EQ(Tool({"log", "12", "--since", "yesterday"}).ExitCode, 2);

    ProcessResult which = Tool({"which", "2.4.6.10"});
    EXPECT_EQ(which.ExitCode, 0) << which.Errors;
    EXPECT_NE(which.Output.find("c0ffee02"), std::string::npos) << which.Output;
    EXPECT_EQ(std::count(which.Output.begin(), which.Output.end(), '\n'), 1) << which.Output;
    EXPECT_EQ(Tool({"which", "2.4.6.10", "13"}).Output, "") << "another project's builds";
    EXPECT_EQ(Tool({"which", "2.4.6"}).ExitCode, 2);
    EXPECT_EQ(Tool({"which", "2.4.6.70000"}).ExitCode, 2);
    EXPECT_EQ(Tool({"which", "2.4.6.10", "12", "13"}).ExitCode, 2) << "one project at the most";
    ProcessResult whichJson = Tool({"which", "2.4.6.10", "--json"});
    EXPECT_EQ(whichJson.Output.rfind("[{\"project\": 12", 0), 0u) << whichJson.Output;
    EXPECT_NE(whichJson.Output.find("\"commit\": \"c0ffee02\""), std::string::npos) << whichJson.Output;

    // The highest project number there can be, with a lower one's row after it in the table.
    Sql("INSERT INTO RESBuild (RESNumber, ProjectName, Kind, CommitId) VALUES (2147483647, 'TOP', 'build', 'feed01')");
    Sql("INSERT INTO RESBuild (RESNumber, ProjectName, Kind, CommitId) VALUES (5, 'LOW', 'build', 'feed02')");
    ProcessResult top = Tool({"log", "2147483647"});
    EXPECT_EQ(std::count(top.Output.begin(), top.Output.end(), '\n'), 1) << top.Output << top.Errors;
    EXPECT_NE(top.Output.find("feed01"), std::string::npos) << top.Output;

    // The .RES itself, the program it is linked into, the same with a string changed,
    // a program of nobody's, and files that are no program or cut off.
    const std::string res = out + "MYAPP.RES";
    ProcessResult known = Tool({"verify", res});
    EXPECT_EQ(known.ExitCode, 0) << known.Output << known.Errors;
    EXPECT_NE(known.Output.find("c0ffee03"), std::string::npos) << known.Output;
    Shell("x86_64-w64-mingw32-windres -J res -O coff -i " + res + " -o " + dir.File("res.o") +
          " && x86_64-w64-mingw32-gcc -o " + dir.File("app.exe") + " " VERDO_SOURCE_DIR "/tests/package/sample/main.c " +
          dir.File("res.o"));
    ProcessResult linked = Tool({"verify", dir.File("app.exe")});
    EXPECT_EQ(linked.ExitCode, 0) << linked.Output << linked.Errors;
    EXPECT_NE(linked.Output.find("c0ffee03"), std::string::npos) << linked.Output;

    std::string changed = ReadFileBytes(res);
    changed[changed.size() - 40] ^= 0x20;
    WriteFileBytes(dir.File("changed.RES"), changed);
    ProcessResult edited = Tool({"verify", dir.File("changed.RES")});
    EXPECT_EQ(edited.ExitCode, 1);
    EXPECT_NE(edited.Output.find("file version 2.4.6.11 was built, but this file's version information is not what "
                                 "that build wrote"), std::string::npos) << edited.Output;

    WriteFileBytes(dir.File("other.nsi"), "VIProductVersion \"9.9.9.9\"\nVIAddVersionKey /LANG=1033 \"FileVersion\" "
                                          "\"9\"\nOutFile \"other.exe\"\nSection\nSectionEnd\n");
    Shell("cd " + dir.Path() + " && makensis -V1 other.nsi");
    ProcessResult nobody = Tool({"verify", dir.File("other.exe")});
    EXPECT_EQ(nobody.ExitCode, 1) << "a 32-bit installer: " << nobody.Output << nobody.Errors;
    EXPECT_NE(nobody.Output.find("no build of this store wrote it"), std::string::npos) << nobody.Output;

    EXPECT_EQ(Tool({"verify", "/bin/sh"}).ExitCode, 2);
    WriteFileBytes(dir.File("cut.exe"), ReadFileBytes(dir.File("app.exe")).substr(0, 600));
    ProcessResult cut = Tool({"verify", dir.File("cut.exe")});
    EXPECT_EQ(cut.ExitCode, 2);
    EXPECT_NE(cut.Output.find("cannot be read"), std::string::npos) << cut.Output;
    EXPECT_EQ(Tool({"verify", dir.File("missing.exe")}).ExitCode, 2);
}

// A store made before the ledger existed gets the table at its first build, with every
// other row as it was.
TEST_P(BuildLedger, AStoreWithoutTheLedgerGetsItAtItsFirstBuild) {
    Sql("DROP TABLE RESBuild");
    ASSERT_EQ(Run({"12"}).Errors, "");
    EXPECT_EQ(Rows(), "1");
    EXPECT_EQ(Value("SELECT count(*) FROM RESFile") + " " + Value("SELECT count(*) FROM LangID WHERE LangIDVal = '0409'"),
              "1 1");
    ProcessResult check = Tool({"check", GetParam() ? schema->Connection() : store});
    EXPECT_EQ(check.ExitCode, 0) << check.Errors;
}

// The commit comes from the CI's variables first, else from the repository around the
// build folder, with whether its work tree had changes; whatever git cannot tell is
// "not known", and the build goes on.
TEST(BuildOrigin, TheCommitAndTheStateOfTheWorkTreeComeFromTheCiOrFromGit) {
    TempProgramDir dir;
    std::string program = dir.InstallProgram();
    std::string repo = dir.Path() + "repo";
    std::filesystem::create_directories(repo + "/build");
    Shell("cd " + repo + " && git init -q && git config user.email t@example && git config user.name t && "
          "echo one > tracked && git add tracked && git commit -qm one");
    std::string head = Shell("git -C " + repo + " rev-parse HEAD").substr(0, 40);
    ASSERT_EQ(head.size(), 40u);
    std::vector<std::pair<std::string, std::string>> clean;
    for (const char* ci : {"GITHUB_SHA", "CI_COMMIT_SHA", "GIT_COMMIT", "BUILD_SOURCEVERSION", "BUILD_VCS_NUMBER",
                           "VERDO_COMMIT", "VERDO_DIRTY_CHECK", "GITHUB_RUN_ID", "CI_JOB_URL", "BUILD_URL"})
        clean.push_back({ci, ""});
    auto build = [&](const std::string& in, std::vector<std::pair<std::string, std::string>> extra = {}) {
        extra.insert(extra.begin(), clean.begin(), clean.end());
        ProcessResult run = RunProcess("/usr/bin/env", {"-C", in, program, "12"}, extra);
        EXPECT_EQ(run.ExitCode, 0);
        return StoreValue(dir.File("VERDO"), "SELECT CommitId || ' ' || Dirty || ' ' || JobUrl FROM RESBuild ORDER BY "
                                             "rowid DESC LIMIT 1");
    };
    ASSERT_EQ(RunProcess(program, {"1"}).ExitCode, 0);
    StoreSql(dir.File("VERDO"), "INSERT INTO RESFile (RESNumber, ProjectName, ProjectPath, INC_FV_4, LangID, CodePage) "
                                "VALUES (12, 'APP', '.', 1, '0409', '04b0')");

    EXPECT_EQ(build(repo + "/build"), head + " 0 ") << "a clean tree, found from a folder below";
    WriteFileBytes(repo + "/tracked", "two\n");
    EXPECT_EQ(build(repo + "/build"), head + " 1 ") << "a changed tracked file";
    EXPECT_EQ(build(repo + "/build", {{"VERDO_DIRTY_CHECK", "0"}}), head + " 2 ") << "the check turned off";
    EXPECT_EQ(build(repo + "/build", {{"GITHUB_SHA", "feedfacefeedface"}, {"GITHUB_SERVER_URL", "https://gh.example"},
                                      {"GITHUB_REPOSITORY", "o/r"}, {"GITHUB_RUN_ID", "77"}}),
              "feedfacefeedface 2 https://gh.example/o/r/actions/runs/77")
        << "the CI's commit wins, and its tree is not checked";
    EXPECT_EQ(build(repo + "/build", {{"VERDO_COMMIT", std::string(70, 'c')}, {"CI_JOB_URL", "https://gl.example/j/1"}}),
              std::string(64, 'c') + " 2 https://gl.example/j/1")
        << "cut at 64";
    EXPECT_EQ(build(repo + "/build", {{"VERDO_COMMIT", "bad\x01name"}}), head + " 1 ")
        << "a commit with a control character is not taken; git's is";

    EXPECT_EQ(build(dir.Path()), " 2 ") << "outside any repository";
    std::filesystem::create_directory(dir.Path() + "broken");
    WriteFileBytes(dir.Path() + "broken/.git", "gitdir: /nowhere\n");
    EXPECT_EQ(build(dir.Path() + "broken"), " 2 ") << "a broken repository";
    EXPECT_EQ(build(repo + "/build", {{"PATH", "/nonexistent"}}), " 2 ") << "no git at all";
    Shell("cd " + repo + " && git checkout -q --detach");
    EXPECT_EQ(build(repo + "/build").substr(0, 40), head) << "a detached head";
    EXPECT_EQ(StoreValue(dir.File("VERDO"), "SELECT count(*) FROM RESBuild"), "10");
}
