#include "support/MountNamespace.h"

#include "support/ForkedChild.h"

#include "system/Shell.h"

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace tidra::test {
namespace {

// Travels through the pipe in place of an answer; no real answer looks like it.
const char* const noNamespace = "<no mount namespace>";

// The smallest images the tools accept, sparse so they cost next to nothing.
const std::map<std::string, long long>& imageSizes() {
    static const std::map<std::string, long long> sizes = {{"btrfs", 128ll << 20}, {"xfs", 300ll << 20}};
    return sizes;
}

std::string ran(const std::string& tool, const std::vector<std::string>& arguments) {
    const auto output = Shell::run(tool, arguments, {}, std::chrono::seconds(60));
    if (!output) return tool + " cannot be started";
    if (!output->succeeded()) return tool + " failed: " + output->standardError;
    return {};
}

} // namespace

std::optional<std::string> runInMountNamespace(const std::function<std::string()>& fn) {
    const std::string answer = runInChild([&] {
        if (!enterMountNamespace()) return std::string(noNamespace);
        return fn();
    });
    if (answer == noNamespace) return std::nullopt;
    return answer;
}

bool enterMountNamespace() {
    return ::unshare(CLONE_NEWNS) == 0 && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

bool mountTmpfs(const std::string& folder) {
    return ::mount("tidra-test", folder.c_str(), "tmpfs", 0, "size=16m,mode=0755") == 0;
}

std::string mountImage(const std::string& type, const std::string& image, const std::string& folder) {
    const auto size = imageSizes().find(type);
    if (size == imageSizes().end()) return "no image size for " + type;
    std::ofstream(image, std::ios::binary | std::ios::trunc).close();
    if (::truncate(image.c_str(), size->second) != 0) return "cannot size " + image;
    const std::string mkfs = "/usr/sbin/mkfs." + type;
    if (::access(mkfs.c_str(), X_OK) != 0) return mkfs + " is not installed";
    if (auto failed = ran(mkfs, {"-q", image}); !failed.empty()) return failed;
    return ran("/usr/bin/mount", {"-t", type, "-o", "loop", image, folder});
}

bool remountReadOnly(const std::string& folder) {
    return ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

} // namespace tidra::test
