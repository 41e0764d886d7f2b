#include "platform/VolumeFigures.h"

#include <sys/statvfs.h>

namespace tidra::sys {

std::optional<VolumeFigures> volumeFigures(const std::string& path) {
    struct statvfs info {};
    if (::statvfs(path.c_str(), &info) != 0) return std::nullopt;
    return VolumeFigures{info.f_blocks, info.f_bfree, info.f_bavail, info.f_frsize};
}

} // namespace tidra::sys
