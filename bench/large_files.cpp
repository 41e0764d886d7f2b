// Large-file search against find -size. Subcommands, driven by large_files.sh:
//   large_files generate <folder> <files> [<every> <bytes>]
//                                  a home-like tree of small files; every <every>th file (2000)
//                                  is large, <bytes> (20 MiB) and a few bytes more
//   large_files find <root> <minimum> <output> [<limit>]
//                                  our search for at most <limit> files (all), paths to <output>,
//                                  figures to stdout
//   large_files tool <output> -- <argv...>      an outside tool; its stdout to <output>
// Figures are printed as "<seconds> <bytes read>".
#include "BenchSupport.h"

#include "files/LargeFileFinder.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <limits>
#include <set>
#include <string>
#include <vector>

namespace {

// Space really allocated without writing it, so a large tree is quick to make.
void allocate(const std::string& path, std::int64_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::posix_fallocate(fd, 0, off_t(size)) != 0) {
        std::perror(path.c_str());
        std::exit(2);
    }
    ::close(fd);
}

void writeTree(const std::string& folder, int files, int every, std::int64_t largeBytes) {
    std::set<std::string> made;
    for (int i = 0; i < files; ++i) {
        const auto dir = folder + "/p" + std::to_string(i % 7) + "/q" + std::to_string(i / 1000 % 20) + "/r" +
                         std::to_string(i / 50 % 20);
        if (made.insert(dir).second) bench::makeFolders(dir);
        const bool large = i % every == 0;
        allocate(dir + "/f" + std::to_string(i), large ? largeBytes + i : 1 + i % 3000);
    }
    // Folders both searches leave out.
    for (const auto* skipped : {"/p1/q1/node_modules", "/p2/.git", "/p3/q3/r3/.Trash"}) {
        bench::makeFolders(folder + skipped);
        allocate(folder + skipped + "/huge", std::int64_t(50) << 20);
    }
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if ((args.size() == 3 || args.size() == 5) && args[0] == "generate") {
        const bool sized = args.size() == 5;
        writeTree(args[1], std::stoi(args[2]), sized ? std::max(1, std::stoi(args[3])) : 2000,
                  sized ? std::stoll(args[4]) : std::int64_t(20) << 20);
    } else if ((args.size() == 4 || args.size() == 5) && args[0] == "find") {
        const auto limit = args.size() == 5 ? std::stoll(args[4]) : std::numeric_limits<std::int64_t>::max();
        std::vector<tidra::LargeFile> files;
        const auto m = bench::measureHere([&] { files = tidra::LargeFileFinder::find(args[1], std::stoll(args[2]), limit); });
        std::ofstream out(args[3]);
        for (const auto& file : files) out << file.path << '\n';
        std::printf("%.3f %lld\n", m.seconds, (long long)m.bytesRead);
    } else if (args.size() > 3 && args[0] == "tool" && args[2] == "--") {
        const auto m = bench::measureTool(std::vector<std::string>(args.begin() + 3, args.end()), args[1]);
        std::printf("%.3f %lld\n", m.seconds, (long long)m.bytesRead);
    } else {
        std::fprintf(stderr, "usage: see the comment at the top of bench/large_files.cpp\n");
        return 2;
    }
    return 0;
}
