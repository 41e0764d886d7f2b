#pragma once

#include <cstdint>

namespace tidra {

// One reading of physical memory, swap and memory pressure. Byte figures are 0 when the
// kernel does not report them.
struct MemorySnapshot {
    enum class Pressure { normal, warning, critical };

    // Physical memory (MemTotal).
    std::int64_t total = 0;
    // Memory of programs (anonymous pages).
    std::int64_t app = 0;
    // Memory that cannot be reclaimed or swapped: unevictable pages, kernel stacks, page
    // tables, unreclaimable slab.
    std::int64_t wired = 0;
    // Pool of compressed pages (zswap).
    std::int64_t compressed = 0;
    // File cache and reclaimable slab: given back on demand.
    std::int64_t cached = 0;
    std::int64_t swapUsed = 0;
    // Share of memory still available, 0 to 100; 100 when unknown.
    std::int64_t freePercent = 100;
    Pressure pressure = Pressure::normal;

    std::int64_t used() const { return app + wired + compressed; }

    bool operator==(const MemorySnapshot&) const = default;
};

} // namespace tidra
