// Builds the folder trees the benchmarks measure, deterministically, so every tool of one run
// sees the same bytes.
//   tree_maker <kind> <root> [scale]
// kinds: small-files  200k small files in 20k folders
//        node-modules a node_modules-like tree of about 500k entries (folders, files, .bin links)
//        hardlinks    10k files with 5 names each, spread over 5 folders
//        wide         one folder of 100k entries
// `scale` multiplies every count (default 1; 0.1 for a quick run).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::uint64_t state = 0x2545F4914F6CDD1Dull;

// A fixed pseudo-random sequence: the same tree on every run.
std::uint64_t next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

void fail(const std::string& what) {
    std::perror(what.c_str());
    std::exit(1);
}

void makeDir(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) fail("mkdir " + path);
}

void makeFile(const std::string& path, std::size_t bytes) {
    static const std::vector<char> content(1 << 20, 'x');
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) fail("open " + path);
    for (std::size_t done = 0; done < bytes;) {
        const auto n = ::write(fd, content.data(), std::min(bytes - done, content.size()));
        if (n <= 0) fail("write " + path);
        done += std::size_t(n);
    }
    ::close(fd);
}

void makeLink(const std::string& target, const std::string& path) {
    if (::symlink(target.c_str(), path.c_str()) != 0 && errno != EEXIST) fail("symlink " + path);
}

void makeHardLink(const std::string& existing, const std::string& path) {
    if (::link(existing.c_str(), path.c_str()) != 0 && errno != EEXIST) fail("link " + path);
}

std::size_t smallSize() { return std::size_t(next() % 6'000); }

void smallFiles(const std::string& root, double scale) {
    const int folders = int(20'000 * scale);
    for (int f = 0; f < folders; ++f) {
        const std::string top = root + "/t" + std::to_string(f / 100);
        if (f % 100 == 0) makeDir(top);
        const std::string folder = top + "/f" + std::to_string(f);
        makeDir(folder);
        for (int i = 0; i < 10; ++i) makeFile(folder + "/file" + std::to_string(i) + ".dat", smallSize());
    }
}

// One package: a manifest, a readme, lib/ with sources and a nested folder, sometimes a
// nested node_modules of its own; about 100 entries.
void package(const std::string& modules, int index, bool nested) {
    const std::string name = "pkg" + std::to_string(index);
    const std::string dir = modules + "/" + name;
    makeDir(dir);
    makeFile(dir + "/package.json", 600 + next() % 1'500);
    makeFile(dir + "/README.md", next() % 6'000);
    makeDir(dir + "/lib");
    for (int sub = 0; sub < 6; ++sub) {
        const std::string folder = dir + "/lib/part" + std::to_string(sub);
        makeDir(folder);
        for (int i = 0; i < 14; ++i) makeFile(folder + "/m" + std::to_string(i) + ".js", smallSize());
    }
    makeLink("../" + name + "/lib/part0/m0.js", modules + "/.bin/" + name);
    if (nested) {
        const std::string inner = dir + "/node_modules";
        makeDir(inner);
        makeDir(inner + "/.bin");
        package(inner, index * 10 + 1, false);
    }
}

void nodeModules(const std::string& root, double scale) {
    const std::string modules = root + "/node_modules";
    makeDir(modules);
    makeDir(modules + "/.bin");
    const int packages = int(4'700 * scale);
    for (int i = 0; i < packages; ++i) package(modules, i, i % 8 == 0);
}

void hardlinks(const std::string& root, double scale) {
    const int files = int(10'000 * scale);
    for (int copy = 0; copy < 5; ++copy) makeDir(root + "/names" + std::to_string(copy));
    for (int i = 0; i < files; ++i) {
        const std::string first = root + "/names0/file" + std::to_string(i);
        makeFile(first, smallSize() * 4);
        for (int copy = 1; copy < 5; ++copy)
            makeHardLink(first, root + "/names" + std::to_string(copy) + "/file" + std::to_string(i));
    }
}

void wide(const std::string& root, double scale) {
    const int entries = int(100'000 * scale);
    for (int i = 0; i < entries; ++i) makeFile(root + "/entry-" + std::to_string(i), smallSize());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: tree_maker small-files|node-modules|hardlinks|wide <root> [scale]\n");
        return 2;
    }
    const std::string kind = argv[1], root = argv[2];
    const double scale = argc > 3 ? std::atof(argv[3]) : 1.0;
    if (scale <= 0) fail("scale must be positive");
    makeDir(root);
    if (kind == "small-files") smallFiles(root, scale);
    else if (kind == "node-modules") nodeModules(root, scale);
    else if (kind == "hardlinks") hardlinks(root, scale);
    else if (kind == "wide") wide(root, scale);
    else {
        std::fprintf(stderr, "unknown tree kind: %s\n", kind.c_str());
        return 2;
    }
    return 0;
}
