#include "files/SearchMemory.h"

#include <malloc.h>

#include <mutex>

namespace tidra::SearchMemory {
namespace {

// Thumbnails and read chunks (up to a megabyte) are reused from the heaps; decoded windows and
// whole pictures beyond that are mapped and unmapped.
constexpr int mappedFrom = 1 << 20;
// Fixing the mapping size also fixes glibc's trimming size at its smallest (128 kB), and libvips
// allocates and frees tens of megabytes of small buffers per photo: every heap would be cut back
// and faulted in again all the time, a third of the search's CPU. giveBack() trims them anyway.
constexpr int trimmedFrom = 32 << 20;

} // namespace

void settle() {
    static std::once_flag once;
    std::call_once(once, [] {
        ::mallopt(M_MMAP_THRESHOLD, mappedFrom);
        ::mallopt(M_TRIM_THRESHOLD, trimmedFrom);
    });
}

void giveBack() {
    ::malloc_trim(0);
}

} // namespace tidra::SearchMemory
