#include "support/MountNamespace.h"

#include "support/ForkedChild.h"

#include <sched.h>
#include <sys/mount.h>

namespace tidra::test {
namespace {

// Travels through the pipe in place of an answer; no real answer looks like it.
const char* const noNamespace = "<no mount namespace>";

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

bool remountReadOnly(const std::string& folder) {
    return ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

} // namespace tidra::test
