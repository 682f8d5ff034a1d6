// Prints the median wall time of a whole build-time run (process start to exit) over a
// store of 10,000 projects with 5 extra items each, beside the median of /bin/true
// measured the same way in the same run, and their ratio.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/ProjectStore.h"

namespace {

using verdo::bench::Median;
using verdo::bench::RunOnce;

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(5, std::atoi(argv[1])) : 41;
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("verdo-bench-" + std::to_string(getpid()));
    fs::create_directories(dir / "out");
    std::string program = (dir / "verdo").string();
    fs::copy_file(VERDO_BINARY, program);

    // The first run makes the store; then it is filled directly.
    if (RunOnce(program, "1") < 0) return 1;
    if (!verdo::bench::FillProjects((dir / "VERDO").string(), (dir / "out").string())) return 1;

    // Warm both up, then alternate so that both see the same machine.
    RunOnce(program, "5000");
    RunOnce("/bin/true", "");
    std::vector<double> verdo, truth;
    for (int r = 0; r < runs; ++r) {
        verdo.push_back(RunOnce(program, std::to_string(1 + (r * 7919) % 10000)));
        truth.push_back(RunOnce("/bin/true", ""));
    }
    if (std::any_of(verdo.begin(), verdo.end(), [](double t) { return t < 0; })) {
        std::fprintf(stderr, "a build-time run failed\n");
        return 1;
    }
    double v = Median(verdo), t = Median(truth);
    std::printf("store: 10000 projects, 50000 extra items; %d runs each\n", runs);
    std::printf("build-time run (verdo N): median %.2f ms\n", v);
    std::printf("/bin/true:                median %.2f ms\n", t);
    std::printf("ratio:                    %.2f\n", v / t);
    fs::remove_all(dir);
    return 0;
}
