#include "platform/SearchPath.h"

#include <cstdlib>

namespace tidra::sys::SearchPath {

std::vector<std::string> folders(std::string_view list) {
    std::vector<std::string> found;
    for (std::size_t start = 0; start <= list.size();) {
        auto end = list.find(':', start);
        if (end == std::string_view::npos) end = list.size();
        if (end > start && list[start] == '/') found.emplace_back(list.substr(start, end - start));
        start = end + 1;
    }
    return found;
}

std::string current() {
    const char* path = std::getenv("PATH");
    return path ? path : "/usr/local/bin:/usr/bin:/bin";
}

} // namespace tidra::sys::SearchPath
