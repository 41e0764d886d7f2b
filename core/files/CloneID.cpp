#include "files/CloneID.h"

#include "platform/CloneKeys.h"
#include "platform/UniqueFd.h"

#include <fcntl.h>

namespace tidra {

std::optional<std::uint64_t> sharedDataKey(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size()) return std::nullopt;
    const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    const sys::UniqueFd descriptor(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!descriptor.ok() || !sys::CloneKeys::volumeCanShare(descriptor.fd)) return std::nullopt;
    return sys::CloneKeys::sharedExtent(descriptor.fd, path.c_str() + slash + 1);
}

} // namespace tidra
