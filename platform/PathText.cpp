#include "platform/PathText.h"

namespace tidra::sys::PathText {

std::string_view lastComponent(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view parentFolder(std::string_view path) {
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos) return {};
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

bool isInside(std::string_view path, std::string_view folder) {
    return !folder.empty() && path.size() > folder.size() && path.starts_with(folder) && path[folder.size()] == '/';
}

bool isAtOrInside(std::string_view path, std::string_view folder) {
    return !folder.empty() && (path == folder || isInside(path, folder));
}

} // namespace tidra::sys::PathText
