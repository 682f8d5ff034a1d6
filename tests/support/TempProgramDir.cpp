#include "tests/support/TempProgramDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace verdo::test {

namespace fs = std::filesystem;

TempProgramDir::TempProgramDir() {
    std::string pattern = (fs::temp_directory_path() / "verdo-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) ADD_FAILURE() << "cannot create a temporary directory";
    path_ = std::string(buffer.data()) + "/";
}

TempProgramDir::~TempProgramDir() {
    std::error_code ec;
    // A test may have taken write permission away; give it back so everything goes.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

namespace {
std::string CopyBuilt(const std::string& file, const std::string& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    std::string target = folder + file;
    fs::copy_file(fs::path(VERDO_BINARY).parent_path() / file, target, fs::copy_options::overwrite_existing, ec);
    if (ec) ADD_FAILURE() << "cannot copy " << file << ": " << ec.message();
    return target;
}
}  // namespace

std::string TempProgramDir::InstallProgram(const std::string& folder) const {
    return CopyBuilt(fs::path(VERDO_BINARY).filename().string(), path_ + folder);
}

std::string TempProgramDir::InstallStoreTool(const std::string& folder) const {
    return CopyBuilt("verdo-store", path_ + folder);
}

void TempProgramDir::InstallServerModule() const {
    std::error_code ec;
    fs::path module = fs::path(VERDO_BINARY).parent_path() / "libverdo_pgstore.so";
    fs::create_symlink(module, path_ + "libverdo_pgstore.so", ec);
    if (ec) ADD_FAILURE() << "cannot put the server store module beside the program: " << ec.message();
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

}  // namespace verdo::test
