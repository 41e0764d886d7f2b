#include "support/MountNamespace.h"

#include <sched.h>
#include <sys/mount.h>

namespace tidra::test {

bool enterMountNamespace() {
    return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

bool mountTmpfs(const std::string& path) {
    return ::mount("tidra-test", path.c_str(), "tmpfs", 0, "size=8m,mode=0755") == 0;
}

bool remountReadOnly(const std::string& path) {
    return ::mount(nullptr, path.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

} // namespace tidra::test
