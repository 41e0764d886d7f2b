#include "platform/HomeFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace tidra::sys {
namespace {

std::string fromPasswordDatabase() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(std::size_t(size > 0 ? size : 16384));
    struct passwd entry;
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_dir)
        return {};
    return found->pw_dir;
}

} // namespace

std::string homeFolder() {
    const char* fromEnvironment = std::getenv("HOME");
    std::string home = fromEnvironment && *fromEnvironment ? fromEnvironment : fromPasswordDatabase();
    while (home.size() > 1 && home.back() == '/') home.pop_back();
    return home;
}

} // namespace tidra::sys
