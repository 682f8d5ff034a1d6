#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/Dictionary.h"
#include "core/ProgramNames.h"
#include "export/ExportRESFile.h"
#include "framework/FileManager.h"
#include "runtime/store/StoreEngines.h"
#include "tests/support/Process.h"
#include "tests/support/ProgramFixture.h"
#include "tests/support/StoreClient.h"
#include "tests/support/TempProgramDir.h"
#include "tests/support/TestServer.h"

using namespace verdo::test;

namespace {

// The program installed in a fresh directory, driven as a host build would drive it; its
// store is the file beside it, or with `onServer` a database on the test server that the
// environment names, as on a build agent.
class BuildTimeRun : public ::testing::Test {
protected:
    void SetUp() override {
        program = dir.InstallProgram();
        if (onServer) {
            dir.InstallServerModule();
            schema = std::make_unique<ServerSchema>();
            environment = {{"VERDO_STORE", schema->Connection()}};
            store = verdo::ServerStoreName(schema->Connection());
        } else {
            store = dir.File("VERDO");
        }
        out = dir.Path() + "out/";
        std::filesystem::create_directory(out);
        // The first run makes the store.
        ASSERT_EQ(Run({"1"}).ExitCode, 0);
        Sql("INSERT INTO RESFile (RESNumber, ProjectName, ProjectPath, FV_1, FV_4, INC_FV_4, LangID, CodePage, "
            "FileOS, FileType, CompanyName) VALUES (12, 'MYAPP', '" + out + "', 1, 7, 1, '0409', '04b0', " +
            BytesLiteral(store, "04000400") + ", " + BytesLiteral(store, "01") + ", 'ACME')");
    }

    ProcessResult Run(const std::vector<std::string>& arguments) {
        return RunProcess(program, arguments, environment);
    }

    void Sql(const std::string& sql) { StoreSql(store, sql); }
    std::string Value(const std::string& sql) { return StoreValue(store, sql); }

    bool onServer = false;
    std::unique_ptr<ServerSchema> schema;
    std::vector<std::pair<std::string, std::string>> environment;
    std::string store;
    TempProgramDir dir;
    std::string program;
    std::string out;
};

// The same runs against a store file and against a server.
class BuildTimeRunOnEither : public BuildTimeRun, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        onServer = GetParam();
        BuildTimeRun::SetUp();
    }
};

class BuildTimeRunOnServer : public BuildTimeRun {
protected:
    void SetUp() override {
        onServer = true;
        BuildTimeRun::SetUp();
    }
};

INSTANTIATE_TEST_SUITE_P(Engines, BuildTimeRunOnEither, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Server" : "File"; });

}  // namespace

TEST_P(BuildTimeRunOnEither, RaisesTheVersionAndRewritesTheResourceWithNoDisplayAndNoOutput) {
    ProcessResult run = Run({"12"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output, "");
    EXPECT_EQ(run.Errors, "");
    EXPECT_EQ(Value("SELECT FV_4 FROM RESFile WHERE RESNumber = 12"), "8");
    EXPECT_TRUE(FileExists(out + "MYAPP.RES"));
    EXPECT_FALSE(FileExists(out + "MYAPP_RES.PRJ"));
    EXPECT_TRUE(FileExists(dir.File("VERDO.INI")));
}

TEST_F(BuildTimeRun, CommandTailsOfEveryShapeEndWithStatusZeroAndANumberNoProjectHasIsSaid) {
    for (std::string tail : {"-5", "1,5", "99999999999", "4294967308", "x12", "\xE9\xFF", "-", "0", "12x"}) {
        ProcessResult run = Run({tail});
        EXPECT_EQ(run.ExitCode, 0) << tail;
        int32_t number = verdo::ReadProjectNumber(tail);
        std::string line = "VERDO: project " + std::to_string(number) + " was not exported: there is no such project\n";
        EXPECT_EQ(run.Errors, number == 12 ? "" : line) << tail;
    }
    EXPECT_EQ(Value("SELECT FV_4 FROM RESFile WHERE RESNumber = 12"), "8") << "only \"12x\" reached project 12";
    EXPECT_EQ(Run({}).ExitCode, 0);
    EXPECT_EQ(Run({"  "}).ExitCode, 0);
}

TEST_F(BuildTimeRun, AStoreThatIsNotADatabaseIsReportedOnStandardErrorAndKept) {
    std::filesystem::remove(dir.File("VERDO-wal"));
    std::filesystem::remove(dir.File("VERDO-shm"));
    WriteFileBytes(dir.File("VERDO"), "not a store at all");
    ProcessResult run = Run({"12"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_NE(run.Errors.find("File Access Error"), std::string::npos) << run.Errors;
    EXPECT_NE(run.Errors.find("could not be opened"), std::string::npos) << run.Errors;
    EXPECT_EQ(ReadFileBytes(dir.File("VERDO")), "not a store at all");
    EXPECT_FALSE(FileExists(out + "MYAPP.RES"));
}

TEST_P(BuildTimeRunOnEither, AMissingTargetDirectoryWritesNothingButTheStampAndSaysSo) {
    Sql("UPDATE RESFile SET ProjectPath = '" + dir.Path() + "gone' WHERE RESNumber = 12");
    ProcessResult run = Run({"12"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Errors,
              "VERDO: project 12: " + dir.Path() + "gone/MYAPP.RES could not be written: No such file or directory\n");
    EXPECT_NE(Value("SELECT ExportDate FROM RESFile WHERE RESNumber = 12"), "0");
    EXPECT_FALSE(FileExists(dir.Path() + "gone"));

    // A folder in the file's place is no file holding the same bytes.
    std::filesystem::create_directory(out + "MYAPP.RES");
    Sql("UPDATE RESFile SET ProjectPath = '" + out + "' WHERE RESNumber = 12");
    run = Run({"12"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Errors, "VERDO: project 12: " + out + "MYAPP.RES could not be written: Is a directory\n");
    EXPECT_EQ(Value("SELECT FV_4 FROM RESFile WHERE RESNumber = 12"), "9");
}

TEST_P(BuildTimeRunOnEither, ParallelBuildsLoseNoIncrement) {
    constexpr int processes = 8, runs = 25;
    std::vector<pid_t> children;
    for (int p = 0; p < processes; ++p) {
        pid_t pid = fork();
        if (pid == 0) {
            bool ok = true;
            for (int r = 0; r < runs; ++r) ok = ok && Run({"12"}).ExitCode == 0;
            _exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(Value("SELECT FV_4 FROM RESFile WHERE RESNumber = 12"), std::to_string(7 + processes * runs));
    std::string res = ReadFileBytes(out + "MYAPP.RES");
    std::string expected;
    for (char c : "1.0.0." + std::to_string(7 + processes * runs)) expected += std::string{c, '\0'};
    EXPECT_NE(res.find(expected), std::string::npos) << "the file on disk carries the last number";
    // Every run is on record, each with its own number.
    EXPECT_EQ(Value("SELECT count(*) || ' ' || count(DISTINCT FV_4) FROM RESBuild WHERE RESNumber = 12"),
              std::to_string(processes * runs) + " " + std::to_string(processes * runs));
}

TEST_F(BuildTimeRun, AReadOnlyStoreLeavesTheResourceFileAsItWasAndSaysSoInOneLine) {
    ASSERT_EQ(Run({"12"}).ExitCode, 0);
    const std::string res = ReadFileBytes(out + "MYAPP.RES");
    ASSERT_FALSE(res.empty());

    // File permissions do not hold root back, so a run as root drops to an unprivileged
    // user who owns the directory but may not write the store file.
    std::string runner = program;
    std::vector<std::string> arguments = {"12"};
    if (geteuid() == 0) {
        constexpr uid_t nobody = 65534;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.Path()))
            ASSERT_EQ(chown(entry.path().c_str(), nobody, nobody), 0);
        ASSERT_EQ(chown(dir.Path().c_str(), nobody, nobody), 0);
        runner = "/usr/bin/setpriv";
        arguments = {"--reuid=65534", "--regid=65534", "--clear-groups", program, "12"};
    }
    std::filesystem::permissions(dir.File("VERDO"), std::filesystem::perms::owner_read |
                                                        std::filesystem::perms::group_read |
                                                        std::filesystem::perms::others_read);
    ProcessResult run = RunProcess(runner, arguments);
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_NE(run.Errors.find("so trying read-only.\n"), std::string::npos) << run.Errors;
    const std::string line = "VERDO: project 12 was not exported: Access Denied (5)\n";
    ASSERT_GE(run.Errors.size(), line.size());
    EXPECT_EQ(run.Errors.substr(run.Errors.size() - line.size()), line) << run.Errors;
    EXPECT_EQ(run.Errors.find("project 12"), run.Errors.rfind("project 12")) << run.Errors;
    EXPECT_TRUE(ReadFileBytes(out + "MYAPP.RES") == res);
    EXPECT_EQ(Value("SELECT FV_4 FROM RESFile WHERE RESNumber = 12"), "8");
}

TEST_F(BuildTimeRun, ExtraStringsThatCannotBeReadFailTheRunInOneLineAndKeepTheFile) {
    for (int i = 0; i < 40; ++i)
        Sql("INSERT INTO ExtraSeg (RESNumber, SegName, SegData) VALUES (12, 'Item" + std::to_string(i) + "', '" +
            std::string(200, 'v') + "')");
    ASSERT_EQ(Run({"12"}).Errors, "");
    const std::string res = ReadFileBytes(out + "MYAPP.RES");
    SpoilLastPageOf(store, "ExtraSeg");
    ProcessResult run = Run({"12"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Errors,
              "VERDO: project 12 was not exported: its extra strings could not be read: database disk image is "
              "malformed (11)\n");
    EXPECT_TRUE(ReadFileBytes(out + "MYAPP.RES") == res);
}

TEST(ProgramOptions, HelpAndVersionAnswerAloneAndTouchNoStore) {
    TempProgramDir dir;
    std::string program = dir.InstallProgram();
    for (const char* help : {"--help", "-h"}) {
        ProcessResult run = RunProcess(program, {help});
        EXPECT_EQ(run.ExitCode, 0);
        EXPECT_EQ(run.Output.rfind("Usage: verdo [PROJECT-NUMBER]\n", 0), 0u) << run.Output;
        EXPECT_NE(run.Output.find("verdo(1)"), std::string::npos) << run.Output;
        EXPECT_EQ(run.Errors, "");
    }
    ProcessResult version = RunProcess(program, {"--version"});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Output, "verdo 2.0\n");
    EXPECT_FALSE(FileExists(dir.File("VERDO")));
    EXPECT_FALSE(FileExists(dir.File("VERDO.INI")));

    // Anything else on the command line is a project number, as before.
    for (std::vector<std::string> tail : {std::vector<std::string>{"--helpx"}, {"--version", "12"}, {"-h2"}}) {
        ProcessResult run = RunProcess(program, tail);
        EXPECT_EQ(run.ExitCode, 0);
        EXPECT_EQ(run.Output, "");
        EXPECT_EQ(run.Errors, "VERDO: project 0 was not exported: there is no such project\n") << tail.front();
    }
    EXPECT_TRUE(FileExists(dir.File("VERDO")));
}

TEST(BuildTimeProgram, LinksNoWindowLibrary) {
    FILE* pipe = popen(("ldd '" + std::string(VERDO_BINARY) + "'").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string libraries;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe)) libraries += buffer;
    pclose(pipe);
    EXPECT_NE(libraries.find("libc.so"), std::string::npos) << libraries;
    EXPECT_EQ(libraries.find("Qt"), std::string::npos) << libraries;
    EXPECT_EQ(libraries.find("libX"), std::string::npos) << libraries;
    EXPECT_EQ(libraries.find("libGL"), std::string::npos) << libraries;
    EXPECT_EQ(libraries.find("libpq"), std::string::npos) << "the server's client comes with its module only";
}

// A server that cannot be reached changes nothing and creates nothing: the resource file
// stays as the last run left it, the failure is said on standard error, the build goes on.
TEST_F(BuildTimeRunOnServer, AServerThatCannotBeReachedLeavesTheResourceFileAndSaysSo) {
    ASSERT_EQ(Run({"12"}).Errors, "");
    const std::string res = ReadFileBytes(out + "MYAPP.RES");
    environment = {{"VERDO_STORE", "host=" + dir.Path() + " dbname=verdo_test"}};
    ProcessResult run = Run({"12"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Errors.rfind("VERDO: File Access Error: File (postgresql:", 0), 0u) << run.Errors;
    EXPECT_NE(run.Errors.find(dir.Path()), std::string::npos) << "the server's own words: " << run.Errors;
    EXPECT_EQ(std::count(run.Errors.begin(), run.Errors.end(), '\n'), 1) << run.Errors;
    EXPECT_EQ(run.Errors.find("Press OK"), std::string::npos) << run.Errors;
    EXPECT_TRUE(ReadFileBytes(out + "MYAPP.RES") == res);
    EXPECT_EQ(Value("SELECT FV_4 FROM RESFile WHERE RESNumber = 12"), "8");
}

// Within the build's transaction the project's row is held for it: a run that cannot have
// the row in time changes nothing and says why, rather than that the project is missing.
class HeldProjectOnServer : public ProgramFixture {
protected:
    void SetUp() override {
        onServer = true;
        ProgramFixture::SetUp();
    }
};

TEST_F(HeldProjectOnServer, ABuildTimeRunThatCannotHaveTheProjectsRowSaysWhyAndChangesNothing) {
    int32_t number = AddProject("APP", dir.Path());
    StoreClient other(verdo::StoreName);
    ASSERT_TRUE(other.Exec("BEGIN; SELECT * FROM RESFile WHERE RESNumber = " + std::to_string(number) + " FOR UPDATE"));
    verdo::Access_RESFile->LOCKRECOVER = 1;
    testing::internal::CaptureStderr();
    verdo::ExportRESFile(number, 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "VERDO: project " + std::to_string(number) + " was not exported: Record Is Already Held (43)\n");
    other.Exec("ROLLBACK");
    EXPECT_EQ(StoreValue("SELECT ExportDate FROM RESFile"), "0");
    EXPECT_FALSE(FileExists(dir.File("APP.RES")));
}

TEST(ProgramStart, WithoutACommandLineOrADisplayTheEditorSaysWhyAndEndsCleanly) {
    TempProgramDir dir;
    std::string program = dir.InstallProgram();
    ProcessResult alone = RunProcess(program, {});
    EXPECT_EQ(alone.ExitCode, 0);
    EXPECT_NE(alone.Errors.find("the windows cannot be started"), std::string::npos) << alone.Errors;

    std::filesystem::copy_file(std::filesystem::path(VERDO_BINARY).parent_path() / "libverdo_gui.so",
                               dir.File("libverdo_gui.so"));
    ProcessResult noDisplay = RunProcess(program, {});
    EXPECT_EQ(noDisplay.ExitCode, 0);
    EXPECT_NE(noDisplay.Errors.find("there is no display"), std::string::npos) << noDisplay.Errors;
    EXPECT_FALSE(FileExists(dir.File("VERDO"))) << "nothing was started";
}

TEST_F(BuildTimeRun, AFileThatAlreadyHoldsTheBytesStaysUntouchedSoNothingRelinks) {
    Sql("UPDATE RESFile SET INC_FV_1 = 0, INC_FV_2 = 0, INC_FV_3 = 0, INC_FV_4 = 0, INC_PV_1 = 0, INC_PV_2 = 0, "
        "INC_PV_3 = 0, INC_PV_4 = 0 WHERE RESNumber = 12");
    ASSERT_EQ(Run({"12"}).Errors, "");
    struct stat before {};
    ASSERT_EQ(stat((out + "MYAPP.RES").c_str(), &before), 0);
    ProcessResult again = Run({"12"});
    EXPECT_EQ(again.Errors, "");
    struct stat after {};
    ASSERT_EQ(stat((out + "MYAPP.RES").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the same file, not a new one with the same bytes";
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
}
