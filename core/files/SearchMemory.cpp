#include "files/SearchMemory.h"

#include <malloc.h>

#include <mutex>

namespace tidra::SearchMemory {
namespace {

// Thumbnails and read chunks (up to a megabyte) are reused from the heaps; decoded windows and
// whole pictures beyond that are mapped and unmapped.
constexpr int mappedFrom = 1 << 20;

} // namespace

void settle() {
    static std::once_flag once;
    std::call_once(once, [] { ::mallopt(M_MMAP_THRESHOLD, mappedFrom); });
}

void giveBack() {
    ::malloc_trim(0);
}

} // namespace tidra::SearchMemory
