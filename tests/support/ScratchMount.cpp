#include "support/ScratchMount.h"

#include "support/ForkedChild.h"

#include <sched.h>
#include <sys/mount.h>

namespace tidra::test {

std::optional<std::string> runWithScratchMount(const std::string& mountPoint, const std::function<std::string()>& fn) {
    const auto mountScratch = [&] {
        return ::unshare(CLONE_NEWNS) == 0 && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
               ::mount("tidra-scratch", mountPoint.c_str(), "tmpfs", 0, "mode=0755") == 0;
    };
    auto answer = runInChild(mountScratch, fn);
    if (answer == "<setup failed>") return std::nullopt;
    return answer;
}

} // namespace tidra::test
