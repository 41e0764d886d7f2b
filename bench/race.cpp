// Times commands against each other as whole processes, for the benchmark scripts: the same
// interleaved rounds and the same way of printing ratios as the benchmark programs.
//   race <rounds> -- <name> <argv...> [-- <name> <argv...>]...
// The first command is ours; every other line carries its time over ours.
#include "BenchSupport.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::vector<bench::Contender> contenders;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--") {
            contenders.emplace_back();
            continue;
        }
        if (contenders.empty()) break;
        if (contenders.back().name.empty()) contenders.back().name = args[i];
        else contenders.back().argv.push_back(args[i]);
    }
    const bool complete = !contenders.empty() && std::all_of(contenders.begin(), contenders.end(),
                                                              [](const auto& c) { return !c.argv.empty(); });
    if (args.empty() || std::atoi(args[0].c_str()) < 1 || !complete) {
        std::fprintf(stderr, "usage: race <rounds> -- <name> <argv...> [-- <name> <argv...>]...\n");
        return 2;
    }
    const int rounds = std::atoi(args[0].c_str());
    bench::printRace(contenders, bench::race(contenders, rounds), rounds);
    return 0;
}
