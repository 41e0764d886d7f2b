// Duplicate finding against jdupes, rmlint and fdupes. Subcommands, driven by duplicates.sh:
//   duplicates generate <kind> <folder> <size>   write a corpus (small, big, middles, home)
//   duplicates find <minimum> <output> <root>     our search; groups to <output>, figures to stdout
//   duplicates tool <output> -- <argv...>         an outside tool; its stdout to <output>
//   duplicates canonical <groups>                 groups as sorted inode sets, for comparing
//   duplicates memory <minimum> <root>            heap in use and resident set before a search,
//                                                 its peak while it runs, and both once it has
//                                                 returned
// Figures are printed as "<seconds> <bytes read>".
#include "BenchSupport.h"

#include "files/DuplicateFinder.h"

#include <malloc.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <vector>

namespace {

using bench::writeFile;

void writeCorpus(const std::string& kind, const std::string& folder, std::int64_t size) {
    bench::makeFolders(folder);
    if (kind == "small") {
        // 10,000 files in 2,000 sets of equal length; each set holds two pairs and a loner.
        for (int set = 0; set < 2000; ++set) {
            const auto dir = folder + "/s" + std::to_string(set / 100);
            bench::makeFolders(dir);
            const std::int64_t length = 100 + set * 31 % size;
            const std::uint64_t seeds[5] = {1, 1, 2, 2, 3};
            for (int i = 0; i < 5; ++i)
                writeFile(dir + "/f" + std::to_string(set) + "-" + std::to_string(i), length, set * 10 + seeds[i]);
        }
    } else if (kind == "big") {
        for (int pair = 0; pair < 5; ++pair)
            for (int copy = 0; copy < 2; ++copy)
                writeFile(folder + "/big" + std::to_string(pair) + "-" + std::to_string(copy), size, 500 + pair);
    } else if (kind == "middles") {
        for (int pair = 0; pair < 100; ++pair)
            for (int copy = 0; copy < 2; ++copy)
                writeFile(folder + "/mid" + std::to_string(pair) + "-" + std::to_string(copy), size, 900 + pair,
                          (unsigned char)(copy + 1));
    } else if (kind == "home") {
        // 100,000 distinct files in a nested tree; lengths collide often, contents never.
        for (int i = 0; i < 100'000; ++i) {
            const auto dir = folder + "/d" + std::to_string(i / 10'000) + "/e" + std::to_string(i / 100 % 100);
            if (i % 100 == 0) bench::makeFolders(dir);
            writeFile(dir + "/file" + std::to_string(i), 1 + std::int64_t(i) * 7919 % size, 100'000 + i);
        }
    }
}

void writeGroups(const std::vector<tidra::DuplicateGroup>& groups, const std::string& output) {
    std::ofstream out(output);
    for (const auto& group : groups) {
        for (const auto& file : group.files) out << file.path << '\n';
        out << '\n';
    }
}

// Groups read from fdupes-style output (paths, a blank line after each group), each reduced
// to its distinct files by (device, inode) so that how a tool lists hard links does not count.
void canonical(const std::string& input) {
    std::ifstream in(input);
    std::set<std::vector<std::string>> groups;
    std::set<std::string> group;
    const auto close = [&] {
        if (group.size() >= 2) groups.insert(std::vector<std::string>(group.begin(), group.end()));
        group.clear();
    };
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) {
            close();
            continue;
        }
        struct stat st{};
        if (::lstat(line.c_str(), &st) == 0)
            group.insert(std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino));
    }
    close();
    for (const auto& g : groups) {
        for (const auto& id : g) std::cout << id << ' ';
        std::cout << '\n';
    }
}

// A field of /proc/self/status ("VmHWM", "RssAnon"...) in MB.
double statusMB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field + ":", 0) == 0) return std::stod(line.substr(field.size() + 1)) * 1024 / 1e6;
    return 0;
}

// Bytes the allocator has handed out and not had back, and the resident set (with its
// anonymous part, which is what a search can leave behind: the rest is library code), in MB.
std::string memoryNow() {
    const auto info = ::mallinfo2();
    char text[128];
    std::snprintf(text, sizeof text, "heap in use %.1f MB, resident %.1f MB (anonymous %.1f MB)",
                  double(info.uordblks + info.hblkhd) / 1e6, statusMB("VmRSS"), statusMB("RssAnon"));
    return text;
}

// Starts the peak resident set afresh, so that the next peak is the search's own.
void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

void print(const bench::Measure& m) { std::printf("%.3f %lld\n", m.seconds, (long long)m.bytesRead); }

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "generate") {
        writeCorpus(args[1], args[2], std::stoll(args[3]));
    } else if (args.size() == 4 && args[0] == "find") {
        std::vector<tidra::DuplicateGroup> groups;
        const auto m = bench::measureHere([&] { groups = tidra::DuplicateFinder::find({args[3]}, std::stoll(args[1]), "/nonexistent"); });
        writeGroups(groups, args[2]);
        print(m);
    } else if (args.size() == 3 && args[0] == "memory") {
        std::printf("before the search: %s\n", memoryNow().c_str());
        resetPeak();
        const auto groups = tidra::DuplicateFinder::find({args[2]}, std::stoll(args[1]), "/nonexistent");
        std::printf("peak during it:    resident %.1f MB\n", statusMB("VmHWM"));
        std::printf("after it returned: %s (%zu groups held)\n", memoryNow().c_str(), groups.size());
    } else if (args.size() > 3 && args[0] == "tool" && args[2] == "--") {
        print(bench::measureTool(std::vector<std::string>(args.begin() + 3, args.end()), args[1]));
    } else if (args.size() == 2 && args[0] == "canonical") {
        canonical(args[1]);
    } else {
        std::fprintf(stderr, "usage: see the comment at the top of bench/duplicates.cpp\n");
        return 2;
    }
    return 0;
}
