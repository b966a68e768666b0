// load-peak FILE [RUNS]: the processor time and the peak memory of loading a
// failure data file, each in a process of its own: the real load (LoadFailureFile,
// as relan-cli load does it) and the least reader that keeps the same times, texts
// and order (minimal_loader.h); the smallest time of RUNS runs (default 3), the
// largest peak, and the ratios of the two.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "../minimal_loader.h"
#include "analysis/load.h"

namespace {

struct Usage {
    double seconds = 1e30;  // user and system time
    long peakKb = 0;        // largest resident set
};

// Runs `load` in a child process and adds its time and peak to `u`.
template <typename Load>
bool Measure(const Load& load, Usage& u) {
    const pid_t pid = ::fork();
    if (pid < 0) return false;
    if (pid == 0) ::_exit(load() ? 0 : 1);
    int status = 0;
    rusage ru{};
    if (::wait4(pid, &status, 0, &ru) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
    const double s = static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
                     1e-6 * static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec);
    u.seconds = std::min(u.seconds, s);
    u.peakKb = std::max(u.peakKb, ru.ru_maxrss);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: load-peak FILE [RUNS]\n");
        return 2;
    }
    const std::string path = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    Usage real, minimal;
    for (int i = 0; i < runs; ++i) {
        const bool ok = Measure(
                            [&] {
                                rel::AnalysisState st;
                                return rel::LoadFailureFile(st, path, '.').ok;
                            },
                            real) &&
                        Measure(
                            [&] {
                                relbench::MinimalLoad m;
                                return relbench::MinimalLoadFile(path, m);
                            },
                            minimal);
        if (!ok) {
            std::fprintf(stderr, "load-peak: %s could not be loaded\n", path.c_str());
            return 1;
        }
    }
    std::printf("%-10s %10s %12s\n", "", "cpu, s", "peak, MiB");
    std::printf("%-10s %10.3f %12.1f\n", "load", real.seconds, static_cast<double>(real.peakKb) / 1024);
    std::printf("%-10s %10.3f %12.1f\n", "minimal", minimal.seconds, static_cast<double>(minimal.peakKb) / 1024);
    std::printf("%-10s %10.2f %12.2f\n", "ratio", real.seconds / minimal.seconds,
                static_cast<double>(real.peakKb) / static_cast<double>(minimal.peakKb));
    return 0;
}
