#include "files/SearchMemory.h"

#include <malloc.h>

#include <mutex>

namespace tidra::SearchMemory {
namespace {

// Thumbnails and read chunks (up to a megabyte) are reused from the heaps; decoded windows and
// whole pictures beyond that are mapped and unmapped.
constexpr int mappedFrom = 1 << 20;
// Fixing the mapping size also pins glibc's trimming size at 128 kB, and libvips allocates and
// frees some 17 MB of region buffers per photo: the heaps were cut back and faulted in again
// all the time, a third of the photo search's CPU. Free memory is kept up to this while a
// search runs; giveBack() returns it.
constexpr int trimmedFrom = 32 << 20;
// One heap for every thread: malloc_trim() gives back the top of the main heap only, and the
// tops of the workers' heaps would stay resident for good.
constexpr int heaps = 1;

} // namespace

void settle() {
    static std::once_flag once;
    std::call_once(once, [] {
        ::mallopt(M_ARENA_MAX, heaps);
        ::mallopt(M_MMAP_THRESHOLD, mappedFrom);
        ::mallopt(M_TRIM_THRESHOLD, trimmedFrom);
    });
}

void giveBack() {
    ::malloc_trim(0);
}

} // namespace tidra::SearchMemory
