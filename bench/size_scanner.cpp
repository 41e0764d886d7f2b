// Measures folders with SizeScanner the way the cleanup screen does, for bench/size_scanner.sh.
//   size_scanner [--threads N] [--repeat R] <path>...
// Prints "<bytes> <files> <unreadable> <best seconds>" on one line. --threads 1 runs the whole
// measure on the calling thread; the default uses every core.
#include "fs/SizeScanner.h"

#include <tbb/task_arena.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    int threads = tbb::this_task_arena::max_concurrency();
    int repeat = 1;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--threads" && i + 1 < argc) threads = std::atoi(argv[++i]);
        else if (arg == "--repeat" && i + 1 < argc) repeat = std::atoi(argv[++i]);
        else paths.push_back(arg);
    }
    if (paths.empty() || threads < 1 || repeat < 1) {
        std::fprintf(stderr, "usage: size_scanner [--threads N] [--repeat R] <path>...\n");
        return 2;
    }
    tbb::task_arena arena(threads);
    tidra::SizeResult result;
    double best = 1e300;
    for (int run = 0; run < repeat; ++run) {
        const auto start = std::chrono::steady_clock::now();
        arena.execute([&] { result = tidra::SizeScanner::measure(paths, [] { return false; }); });
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    std::printf("%lld %lld %lld %.4f\n", static_cast<long long>(result.bytes), static_cast<long long>(result.files),
                static_cast<long long>(result.unreadableDirectories), best);
    return 0;
}
