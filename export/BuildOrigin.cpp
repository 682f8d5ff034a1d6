#include "export/BuildOrigin.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "runtime/platform/OutsideProgram.h"
#include "runtime/platform/ProfileFile.h"

namespace verdo {

namespace {

constexpr size_t LongestCommit = 64;
constexpr int GitTimeoutMs = 5000;

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// A text from outside for the ledger: none with a control character in it, at most
// `longest` characters.
std::string Taken(std::string text, size_t longest) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7F) return {};
    if (text.size() > longest) text.resize(longest);
    return text;
}

// The commit as a CI system names it, in the order they are looked for.
std::string CommitFromVariables() {
    for (const char* name : {"VERDO_COMMIT", "GITHUB_SHA", "CI_COMMIT_SHA", "GIT_COMMIT", "BUILD_SOURCEVERSION",
                             "BUILD_VCS_NUMBER"}) {
        std::string value = Variable(name);
        if (!value.empty()) return Taken(value, LongestCommit);
    }
    return {};
}

bool IsHex(const std::string& text) {
    if (text.size() != 40 && text.size() != 64) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

// The address of the CI job that runs this build.
std::string JobAddress() {
    std::string own = Variable("VERDO_BUILD_URL");
    if (!own.empty()) return own;
    if (!Variable("GITHUB_RUN_ID").empty())
        return Variable("GITHUB_SERVER_URL") + "/" + Variable("GITHUB_REPOSITORY") + "/actions/runs/" +
               Variable("GITHUB_RUN_ID");
    if (!Variable("CI_JOB_URL").empty()) return Variable("CI_JOB_URL");
    if (!Variable("BUILD_BUILDID").empty() && !Variable("SYSTEM_COLLECTIONURI").empty())
        return Variable("SYSTEM_COLLECTIONURI") + Variable("SYSTEM_TEAMPROJECT") + "/_build/results?buildId=" +
               Variable("BUILD_BUILDID");
    if (!Variable("TEAMCITY_VERSION").empty())
        return "TeamCity " + Variable("TEAMCITY_BUILDCONF_NAME") + " #" + Variable("BUILD_NUMBER");
    // Jenkins, and others that follow it.
    return Variable("BUILD_URL");
}

// Whether git could find a repository from the current folder: a ".git" here or in a
// folder above, or GIT_DIR. Outside one, git is not asked at all, as a build outside a
// repository should cost nothing for it.
bool InsideRepository() {
    if (!Variable("GIT_DIR").empty()) return true;
    char here[4096];
    if (!::getcwd(here, sizeof here)) return false;
    // An absolute name: every folder up to the root has a slash before it.
    for (std::string folder = here;;) {
        struct stat info {};
        if (::stat((folder == "/" ? std::string() : folder).append("/.git").c_str(), &info) == 0) return true;
        if (folder == "/") return false;
        size_t slash = folder.rfind('/');
        folder.resize(slash == 0 ? 1 : slash);
    }
}

// The check for changes is on unless VERDO_DIRTY_CHECK, or else the settings, say 0.
bool DirtyCheckWanted(const std::string& settingsFile) {
    std::string variable = Variable("VERDO_DIRTY_CHECK");
    if (!variable.empty()) return variable != "0";
    return ReadProfileString("Build", "DirtyCheck", "1", settingsFile) != "0";
}

std::string UserName() {
    if (passwd* entry = ::getpwuid(::geteuid()); entry && entry->pw_name) return entry->pw_name;
    return Variable("USER");
}

}  // namespace

BuildOrigin FindBuildOrigin(const std::string& settingsFile) {
    BuildOrigin origin;
    origin.Commit = CommitFromVariables();
    if (origin.Commit.empty() && InsideRepository()) {
        ProgramAnswer head = AskProgram({"git", "rev-parse", "HEAD"}, "", GitTimeoutMs, 128);
        std::string commit = head.Output.substr(0, head.Output.find('\n'));
        if (head.Ran && head.Status == 0 && IsHex(commit)) {
            origin.Commit = commit;
            if (DirtyCheckWanted(settingsFile)) {
                // A stat of every tracked file: the price of knowing.
                ProgramAnswer status =
                    AskProgram({"git", "status", "--porcelain", "--untracked-files=no"}, "", GitTimeoutMs, 1);
                if (status.Ran && status.Status == 0) origin.Dirty = status.Output.empty() ? 0 : 1;
            }
        }
    }
    origin.Job = Taken(JobAddress(), 255);
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) == 0) origin.Host = Taken(host, 255);
    origin.User = Taken(UserName(), 64);
    return origin;
}

}  // namespace verdo
