#include "platform/CloneKeys.h"

#include <fcntl.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cstring>

#ifndef XFS_SUPER_MAGIC
#define XFS_SUPER_MAGIC 0x58465342
#endif

namespace tidra::sys::CloneKeys {
namespace {

// Extents whose address says nothing stable about the data behind them.
constexpr std::uint32_t noRealAddress = FIEMAP_EXTENT_UNKNOWN | FIEMAP_EXTENT_DELALLOC | FIEMAP_EXTENT_ENCODED |
                                        FIEMAP_EXTENT_NOT_ALIGNED | FIEMAP_EXTENT_DATA_INLINE;

std::optional<std::uint64_t> firstSharedExtent(int file) {
    // Room for exactly one extent: only the first one names the data.
    alignas(struct fiemap) unsigned char request[sizeof(struct fiemap) + sizeof(struct fiemap_extent)];
    std::memset(request, 0, sizeof request);
    auto* map = reinterpret_cast<struct fiemap*>(request);
    map->fm_start = 0;
    map->fm_length = FIEMAP_MAX_OFFSET;
    map->fm_extent_count = 1;
    if (::ioctl(file, FS_IOC_FIEMAP, map) != 0 || map->fm_mapped_extents == 0) return std::nullopt;
    const auto& extent = map->fm_extents[0];
    if ((extent.fe_flags & FIEMAP_EXTENT_SHARED) == 0 || (extent.fe_flags & noRealAddress) != 0) return std::nullopt;
    return extent.fe_physical;
}

} // namespace

bool volumeCanShare(int descriptor) {
    struct statfs figures{};
    if (::fstatfs(descriptor, &figures) != 0) return false;
    const auto type = static_cast<unsigned long>(figures.f_type);
    return type == BTRFS_SUPER_MAGIC || type == XFS_SUPER_MAGIC;
}

std::optional<std::uint64_t> sharedExtent(int folder, const char* name) {
    const int file = ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (file < 0) return std::nullopt;
    const auto address = firstSharedExtent(file);
    ::close(file);
    return address;
}

} // namespace tidra::sys::CloneKeys
