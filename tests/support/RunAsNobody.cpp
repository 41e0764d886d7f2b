#include "support/RunAsNobody.h"

#include "support/ForkedChild.h"

#include <grp.h>
#include <unistd.h>

namespace tidra::test {

std::string runAsNobody(const std::function<std::string()>& fn) {
    return runInChild([&] {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        return fn();
    });
}

std::string runInChild(const std::function<bool()>& prepare, const std::function<std::string()>& fn) {
    return runInChild([&] {
        if (!prepare()) ::_exit(3);
        return fn();
    });
}

} // namespace tidra::test
