// Space accounting against du and btrfs on one generated home: a pnpm-style store linked into
// the node_modules of every project, Rust "target" and Gradle "build" outputs, every tenth
// project's target a linked copy of the one before. Links are hard links, or, with --clone on
// btrfs or XFS, copy-on-write clones.
//
// usage: space_accounting make   --home DIR [--clone] [--projects N] [--packages P] [--package-files F]
//                                [--target-files T]
//        space_accounting du     --home DIR [--rounds R]   parity with du -s, then both timed as
//                                                          whole processes, rounds interleaved
//        space_accounting account --home DIR --owners FILE one measure of the owners listed in
//                                                          FILE (one path a line), for the timing
//        space_accounting btrfs  --home DIR                parity with btrfs filesystem du -s
//        space_accounting delete --home DIR                predicted freed vs free-space change
#include "projects/ProjectScanner.h"
#include "projects/SpaceAccounting.h"
#include "platform/CloneKeys.h"
#include "system/Shell.h"

#include "BenchSupport.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace tidra;

struct Settings {
    std::string mode;
    std::string home;
    std::string owners;
    bool clone = false;
    int projects = 50;
    int packages = 300;
    int packageFiles = 12;
    int targetFiles = 120;
    int rounds = 5;
};

Settings parse(int argc, char** argv) {
    Settings s;
    if (argc > 1) s.mode = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--clone") {
            s.clone = true;
            continue;
        }
        if (i + 1 >= argc) break;
        const std::string value = argv[++i];
        const int number = std::max(1, std::atoi(value.c_str()));
        if (flag == "--home") s.home = value;
        else if (flag == "--owners") s.owners = value;
        else if (flag == "--projects") s.projects = number;
        else if (flag == "--packages") s.packages = number;
        else if (flag == "--package-files") s.packageFiles = number;
        else if (flag == "--target-files") s.targetFiles = number;
        else if (flag == "--rounds") s.rounds = number;
    }
    return s;
}

[[noreturn]] void die(const std::string& what) {
    std::fprintf(stderr, "space_accounting: %s\n", what.c_str());
    std::exit(1);
}

// ---- the tree ----

// Deterministic sizes: the same tree on every run.
struct Sizes {
    std::uint64_t state = 88172645463325252ull;
    std::int64_t next(int minBlocks, int maxBlocks) {
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        return 4096 * (minBlocks + std::int64_t(state % std::uint64_t(maxBlocks - minBlocks + 1)));
    }
};

void write(const std::string& path, std::int64_t bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) die("cannot create " + path);
    const std::string block(4096, 'x');
    for (std::int64_t done = 0; done < bytes; done += 4096)
        if (::write(fd, block.data(), block.size()) != ssize_t(block.size())) die("cannot write " + path);
    ::close(fd);
}

void link(const std::string& from, const std::string& to, bool clone) {
    std::filesystem::create_directories(std::filesystem::path(to).parent_path());
    if (!clone) {
        if (::link(from.c_str(), to.c_str()) != 0) die("cannot link " + to);
        return;
    }
    const int source = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    const int target = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (source < 0 || target < 0 || ::ioctl(target, FICLONE, source) != 0) die("cannot clone " + to);
    ::close(source);
    ::close(target);
}

std::string storeFile(const Settings& s, int package, int file) {
    return s.home + "/.local/share/pnpm/store/v3/files/" + std::to_string(package % 64) + "/" +
           std::to_string(package) + "-" + std::to_string(file);
}

void makeProject(const Settings& s, int i, Sizes& sizes) {
    const std::string p = s.home + "/code/p" + std::to_string(i);
    for (const char* marker : {"package.json", "Cargo.toml", "build.gradle"}) write(p + "/" + marker, 4096);
    write(p + "/src/main.rs", 8192);
    std::set<int> chosen;
    for (int j = 0; j < s.packages / 2; ++j) chosen.insert((i * 31 + j * 17) % s.packages);
    for (const int package : chosen) {
        const auto folder = p + "/node_modules/.pnpm/pkg" + std::to_string(package) + "@1.0.0/node_modules/pkg" +
                            std::to_string(package) + "/";
        for (int f = 0; f < s.packageFiles; ++f) link(storeFile(s, package, f), folder + "f" + std::to_string(f), s.clone);
    }
    const std::string before = s.home + "/code/p" + std::to_string(i - 1);
    for (int f = 0; f < s.targetFiles; ++f) {
        const auto name = "/target/debug/deps/lib" + std::to_string(f) + ".rlib";
        if (i % 10 == 9) link(before + name, p + name, s.clone);
        else write(p + name, sizes.next(1, 32));
    }
    for (int f = 0; f < 40; ++f) write(p + "/build/classes/C" + std::to_string(f) + ".class", sizes.next(1, 3));
}

void make(const Settings& s) {
    Sizes sizes;
    for (int package = 0; package < s.packages; ++package)
        for (int f = 0; f < s.packageFiles; ++f) write(storeFile(s, package, f), sizes.next(1, 16));
    for (int i = 0; i < s.projects; ++i) makeProject(s, i, sizes);
    ::sync();  // so every file has its extents before anything measures them
}

// ---- the measurement ----

struct Measured {
    std::vector<std::string> owners;
    SpaceAccount account;
};

std::vector<std::string> artifactFolders(const Settings& s) {
    const auto scan = ProjectScanner::scan({s.home + "/code"}, s.home, [](const std::string&) { return true; }, {});
    std::vector<std::string> folders;
    for (const auto& row : scan.artifacts) folders.push_back(row.path);
    std::sort(folders.begin(), folders.end());
    return folders;
}

Measured measure(const Settings& s) {
    Measured result{artifactFolders(s), {}};
    std::vector<SpaceOwner> owners;
    for (const auto& path : result.owners) owners.push_back({path, {}});
    result.account = SpaceAccounting::measure(owners, ProjectScanner::cacheFolders(s.home));
    return result;
}

std::int64_t freedAlone(const SpaceAccount& account, std::size_t owner) {
    return account.freed({std::int32_t(owner)});
}

std::int64_t freedAll(const SpaceAccount& account) {
    std::set<std::int32_t> all;
    for (std::size_t i = 0; i < account.apparent.size(); ++i) all.insert(std::int32_t(i));
    return account.freed(all);
}

// ---- the other tools ----

std::string run(const std::string& tool, const std::vector<std::string>& arguments) {
    const auto output = Shell::run(tool, arguments, {{"LC_ALL", "C"}}, std::chrono::minutes(10));
    if (!output || !output->succeeded()) die(tool + " failed" + (output ? ": " + output->standardError : ""));
    return output->standardOutput;
}

// The first number of each line, in order (du prints "<bytes>\t<path>").
std::vector<std::int64_t> firstNumbers(const std::string& text) {
    std::vector<std::int64_t> numbers;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty()) numbers.push_back(std::atoll(line.c_str()));
    return numbers;
}

// du counts each folder's own blocks, which we never do; taken off du's side for parity.
std::int64_t folderBlocks(const std::string& root) {
    std::int64_t bytes = 0;
    struct stat st{};
    if (::lstat(root.c_str(), &st) == 0) bytes += std::int64_t(st.st_blocks) * 512;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        if (entry.is_directory() && !entry.is_symlink() && ::lstat(entry.path().c_str(), &st) == 0)
            bytes += std::int64_t(st.st_blocks) * 512;
    return bytes;
}

// du over `paths` in order: each inode counts for the first path it is met in.
std::vector<std::int64_t> du(const std::vector<std::string>& paths) {
    std::vector<std::string> arguments = {"-s", "-B1"};
    arguments.insert(arguments.end(), paths.begin(), paths.end());
    return firstNumbers(run("/usr/bin/du", arguments));
}

int mismatch(const std::string& what, std::int64_t ours, std::int64_t theirs) {
    if (ours == theirs) return 0;
    std::printf("  MISMATCH %s: ours %lld, theirs %lld\n", what.c_str(), (long long)ours, (long long)theirs);
    return 1;
}

int compareWithDu(const Settings& s) {
    const auto m = measure(s);
    const auto stores = ProjectScanner::cacheFolders(s.home);
    std::vector<std::int64_t> folders;
    for (const auto& owner : m.owners) folders.push_back(folderBlocks(owner));
    int failures = 0;
    // apparent: each owner alone; freed of all: owners after the store, links once.
    for (std::size_t i = 0; i < m.owners.size(); ++i)
        failures += mismatch("apparent " + m.owners[i], m.account.apparent[i], du({m.owners[i]})[0] - folders[i]);
    auto withStore = stores;
    withStore.insert(withStore.end(), m.owners.begin(), m.owners.end());
    const auto counted = du(withStore);
    std::int64_t unshared = 0;
    for (std::size_t i = 0; i < m.owners.size(); ++i) unshared += counted[stores.size() + i] - folders[i];
    failures += mismatch("freed of all owners", freedAll(m.account), unshared);
    // freed alone, for a sample: the owner last, after the store and every other owner.
    for (std::size_t i = 0; i < m.owners.size(); i += std::max<std::size_t>(1, m.owners.size() / 8)) {
        auto order = stores;
        for (std::size_t j = 0; j < m.owners.size(); ++j)
            if (j != i) order.push_back(m.owners[j]);
        order.push_back(m.owners[i]);
        failures += mismatch("freed alone " + m.owners[i], freedAlone(m.account, i), du(order).back() - folders[i]);
    }
    std::int64_t apparent = 0;
    for (const auto bytes : m.account.apparent) apparent += bytes;
    std::printf("owners %zu, apparent %lld bytes, freed by deleting all %lld bytes, parity %s\n", m.owners.size(),
                (long long)apparent, (long long)freedAll(m.account), failures ? "FAILED" : "ok");
    if (failures) return 1;

    const auto ownersFile = s.home + ".owners";
    {
        std::ofstream out(ownersFile);
        for (const auto& owner : m.owners) out << owner << '\n';
    }
    std::vector<std::string> duCommand{"/usr/bin/du", "-s", "-B1"};
    duCommand.insert(duCommand.end(), withStore.begin(), withStore.end());
    const std::vector<bench::Contender> contenders{
        {"tidra", {bench::selfPath(), "account", "--home", s.home, "--owners", ownersFile}}, {"du", duCommand}};
    bench::printRace(contenders, bench::race(contenders, s.rounds), s.rounds);
    ::unlink(ownersFile.c_str());
    return 0;
}

// One measure, as the project scan makes it, of the owners listed in the file.
int accountOnce(const Settings& s) {
    std::ifstream in(s.owners);
    std::vector<SpaceOwner> owners;
    for (std::string line; std::getline(in, line);) owners.push_back({line, {}});
    SpaceAccounting::measure(owners, ProjectScanner::cacheFolders(s.home));
    return owners.empty() ? 1 : 0;
}

// Bytes of one-link files below the probing threshold whose data is shared: clones we count as
// the owner's own by design, where btrfs calls them shared.
std::int64_t smallClones(const std::string& root) {
    std::int64_t bytes = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        struct stat st{};
        if (!entry.is_regular_file() || entry.is_symlink() || ::lstat(entry.path().c_str(), &st) != 0) continue;
        const auto allocated = std::int64_t(st.st_blocks) * 512;
        if (st.st_nlink != 1 || allocated == 0 || allocated >= sys::CloneKeys::smallestShared) continue;
        const int folder = ::open(entry.path().parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (sys::CloneKeys::sharedExtent(folder, entry.path().filename().c_str())) bytes += allocated;
        ::close(folder);
    }
    return bytes;
}

int compareWithBtrfs(const Settings& s) {
    const auto m = measure(s);
    int failures = 0;
    std::int64_t small = 0;
    std::int64_t duTotal = 0;
    for (std::size_t i = 0; i < m.owners.size(); ++i) {
        // "Total Exclusive Set-shared Filename" after a header line.
        std::istringstream fields(run("/usr/bin/btrfs", {"filesystem", "du", "-s", "--raw", m.owners[i]}));
        std::string header;
        std::getline(fields, header);
        std::int64_t total = 0, exclusive = 0, shared = 0;
        fields >> total >> exclusive >> shared;
        failures += mismatch("apparent " + m.owners[i], m.account.apparent[i], total);
        const auto unprobed = smallClones(m.owners[i]);
        small += unprobed;
        failures += mismatch("freed alone (exclusive + clones under 16 KiB) " + m.owners[i], freedAlone(m.account, i),
                             exclusive + unprobed);
        duTotal += du({m.owners[i]})[0] - folderBlocks(m.owners[i]);
    }
    std::int64_t freed = 0;
    for (std::size_t i = 0; i < m.owners.size(); ++i) freed += freedAlone(m.account, i);
    std::printf("owners %zu: du -s of each, summed %lld bytes; freed alone, summed %lld bytes, of which %lld bytes "
                "are clones under 16 KiB that are never probed; parity with btrfs filesystem du %s\n",
                m.owners.size(), (long long)duTotal, (long long)freed, (long long)small, failures ? "FAILED" : "ok");
    return failures ? 1 : 0;
}

// ---- deleting for real ----

std::int64_t freeBytes(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::syncfs(fd);
    ::syncfs(fd);  // btrfs returns the extents of a deleted file at the commit after the delete
    ::close(fd);
    struct statvfs figures{};
    if (::statvfs(path.c_str(), &figures) != 0) die("cannot read free space of " + path);
    return std::int64_t(figures.f_bavail) * std::int64_t(figures.f_frsize);
}

int deleteOneByOne(const Settings& s) {
    int failures = 0, deleted = 0, exact = 0;
    for (;;) {
        const auto m = measure(s);
        if (m.owners.empty()) break;
        // The largest single-owner freed figure first, so the check counts where it matters.
        std::size_t pick = 0;
        for (std::size_t i = 1; i < m.owners.size(); ++i)
            if (freedAlone(m.account, i) > freedAlone(m.account, pick)) pick = i;
        const auto predicted = freedAlone(m.account, pick);
        const auto before = freeBytes(s.home);
        std::filesystem::remove_all(m.owners[pick]);
        const auto after = freeBytes(s.home);
        const auto change = after - before;
        const auto allowed = std::max<std::int64_t>(predicted / 100, 4 << 20);
        const bool ok = std::llabs(change - predicted) <= allowed;
        failures += ok ? 0 : 1;
        exact += change == predicted ? 1 : 0;
        ++deleted;
        std::printf("  %-52s predicted %11lld, free space grew %11lld  %s\n",
                    m.owners[pick].substr(s.home.size() + 1).c_str(), (long long)predicted, (long long)change,
                    ok ? "ok" : "OFF");
    }
    std::printf("deleted %d owners one by one: %d exact to the byte, %d outside 1 %% or 4 MiB\n", deleted, exact,
                failures);
    return failures ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    const auto s = parse(argc, argv);
    if (s.home.empty() || s.home[0] != '/') die("give an absolute --home");
    if (s.mode == "make") return make(s), 0;
    if (s.mode == "du") return compareWithDu(s);
    if (s.mode == "account") return accountOnce(s);
    if (s.mode == "btrfs") return compareWithBtrfs(s);
    if (s.mode == "delete") return deleteOneByOne(s);
    die("mode is one of make, du, account, btrfs, delete");
}
