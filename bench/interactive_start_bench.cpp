// Prints the median time from process start to the editor's frame on screen, offscreen,
// with the splash window's own time left out (the program is told to close the splash at
// once and to report when it showed, went, and when the frame showed).
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"

namespace {

using verdo::bench::Median;

long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 11;
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("verdo-start-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::path build = fs::path(VERDO_BINARY).parent_path();
    fs::copy_file(VERDO_BINARY, dir / "verdo");
    fs::copy_file(build / "libverdo_gui.so", dir / "libverdo_gui.so");
    std::string program = (dir / "verdo").string();
    std::string report = (dir / "report").string();
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("VERDO_STARTUP_REPORT", report.c_str(), 1);

    std::vector<double> starts, splashes;
    for (int r = 0; r <= runs; ++r) {
        fs::remove(report);
        char* args[] = {program.data(), nullptr};
        long long spawned = MonotonicNs();
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, args, environ) != 0) return 1;
        int status = 0;
        waitpid(pid, &status, 0);
        long long splashShown = 0, splashGone = 0, frameShown = 0;
        std::ifstream in(report);
        if (!(in >> splashShown >> splashGone >> frameShown)) {
            std::fprintf(stderr, "run %d: the program reported nothing\n", r);
            return 1;
        }
        if (r == 0) continue;  // the first run warms the caches and makes the store
        double splash = (splashGone - splashShown) / 1e6;
        starts.push_back((frameShown - spawned) / 1e6 - splash);
        splashes.push_back(splash);
    }
    std::printf("interactive start, offscreen, %d runs\n", runs);
    std::printf("process start to frame shown, splash excluded: median %.1f ms\n", Median(starts));
    std::printf("splash on screen (closed at once, shrinking):   median %.1f ms\n", Median(splashes));
    fs::remove_all(dir);
    return 0;
}
