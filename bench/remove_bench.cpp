// Removing a large cache tree: the cleaner's descriptor-based removal against
// `rm -rf --one-file-system`, on identical generated trees in the same run.
//   remove_bench [folders=150] [filesPerFolder=100] [bytesPerFile=512] [rounds=3]
#include "cleanup/Cleaner.h"
#include "system/Shell.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

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

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
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
    const tidra::Cleaner cleaner(tidra::PathGuard(home, "/Applications"));

    std::vector<double> rmTimes, ourTimes;
    for (int round = 0; round < rounds; ++round) {
        const std::string theirs = caches + "/rm-tree", ours = caches + "/our-tree";
        makeTree(theirs, shape);
        makeTree(ours, shape);
        ::sync();

        // Alternate who goes first, so journal work left by one does not always land on the other.
        std::optional<tidra::Shell::Output> rm;
        tidra::CleanReport report;
        const auto runRm = [&] {
            const auto start = Clock::now();
            rm = tidra::Shell::run("/bin/rm", {"-rf", "--one-file-system", "--", theirs}, {}, std::chrono::minutes(10));
            rmTimes.push_back(millisecondsSince(start));
        };
        const auto runOurs = [&] {
            const auto start = Clock::now();
            report = cleaner.perform(tidra::CleanupAction::Delete{{ours}});
            ourTimes.push_back(millisecondsSince(start));
        };
        if (round % 2 == 0) {
            runRm();
            runOurs();
        } else {
            runOurs();
            runRm();
        }

        // Parity first: both trees gone, both tools content.
        if (!rm || !rm->succeeded() || exists(theirs) || report.removed != 1 || !report.failures.empty() ||
            exists(ours)) {
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
    std::printf("rm -rf --one-file-system: %8.1f ms\n", theirs);
    std::printf("tidra cleaner delete:     %8.1f ms\n", ours);
    std::printf("ratio tidra / rm:         %8.2f\n", ours / theirs);
    return 0;
}
