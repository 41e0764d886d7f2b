// Removing a large cache tree: the cleaner's descriptor-based removal against
// `rm -rf --one-file-system`, on identical generated trees in the same run, each side timed as
// a whole process, the side that goes first alternating.
//   remove_bench [folders=150] [filesPerFolder=100] [bytesPerFile=512] [rounds=3]
//   remove_bench --once <home> <path>      the cleaner removing one tree, for the timing
#include "cleanup/Cleaner.h"

#include "BenchSupport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Shape {
    int folders = 150;
    int filesPerFolder = 100;
    int bytesPerFile = 512;
};

void makeTree(const std::string& root, const Shape& shape) {
    const std::string content(std::size_t(shape.bytesPerFile), 'x');
    ::mkdir(root.c_str(), 0755);
    for (int d = 0; d < shape.folders; ++d) {
        // Two levels, as package caches are laid out.
        const std::string outer = root + "/p" + std::to_string(d % 16);
        const std::string folder = outer + "/pkg" + std::to_string(d);
        ::mkdir(outer.c_str(), 0755);
        ::mkdir(folder.c_str(), 0755);
        for (int f = 0; f < shape.filesPerFolder; ++f) {
            const std::string file = folder + "/f" + std::to_string(f) + ".js";
            const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (fd < 0 || ::write(fd, content.data(), content.size()) != ssize_t(content.size())) std::exit(2);
            ::close(fd);
        }
    }
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--once") {
        const tidra::Cleaner cleaner(tidra::PathGuard(argv[2], "/Applications"));
        const auto report = cleaner.perform(tidra::CleanupAction::Delete{{argv[3]}});
        return report.removed == 1 && report.failures.empty() ? 0 : 1;
    }
    Shape shape;
    if (argc > 1) shape.folders = std::atoi(argv[1]);
    if (argc > 2) shape.filesPerFolder = std::atoi(argv[2]);
    if (argc > 3) shape.bytesPerFile = std::atoi(argv[3]);
    const int rounds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 3;

    const char* tmp = std::getenv("TMPDIR");
    std::string home = std::string(tmp && *tmp ? tmp : "/tmp") + "/tidra-bench-XXXXXX";
    if (!::mkdtemp(home.data())) return 2;
    const std::string caches = home + "/Library/Caches";
    ::mkdir((home + "/Library").c_str(), 0755);
    ::mkdir(caches.c_str(), 0755);

    std::vector<double> rmTimes, ourTimes;
    for (int round = 0; round < rounds; ++round) {
        const std::string theirs = caches + "/rm-tree", ours = caches + "/our-tree";
        makeTree(theirs, shape);
        makeTree(ours, shape);
        ::sync();

        // Alternate who goes first, so journal work left by one does not always land on the other.
        const auto runRm = [&] {
            rmTimes.push_back(1e3 * bench::measureTool({"/bin/rm", "-rf", "--one-file-system", "--", theirs}, "/dev/null").seconds);
        };
        const auto runOurs = [&] {
            ourTimes.push_back(1e3 * bench::measureTool({bench::selfPath(), "--once", home, ours}, "/dev/null").seconds);
        };
        if (round % 2 == 0) {
            runRm();
            runOurs();
        } else {
            runOurs();
            runRm();
        }

        // Parity: both trees gone.
        if (exists(theirs) || exists(ours)) {
            std::fprintf(stderr, "parity failed in round %d\n", round);
            return 1;
        }
    }
    ::rmdir(caches.c_str());
    ::rmdir((home + "/Library").c_str());
    ::rmdir(home.c_str());

    const double theirs = median(rmTimes), ours = median(ourTimes);
    std::printf("tree: %d folders x %d files of %d bytes, %d rounds (median)\n", shape.folders,
                shape.filesPerFolder, shape.bytesPerFile, rounds);
    std::printf("  %-28s %10.1f ms\n", "tidra", ours);
    std::printf("  %-28s %10.1f ms   rm/tidra %6.2f\n", "rm", theirs, theirs / ours);
    std::printf("  (whole processes, median of %d rounds; a ratio above 1: tidra is faster)\n", rounds);
    return 0;
}
