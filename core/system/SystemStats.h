#pragma once

#include "system/DiskUsage.h"
#include "system/MemorySnapshot.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tidra::SystemStats {

// Size and free space of the volume holding `folder`; nothing when the folder cannot be
// reached or the figures do not fit 64 bits. A fresh reading on every call.
std::optional<DiskUsage> disk(const std::string& folder);

// The same from raw statvfs counts: total = blocks × fragment size, available = blocks
// available to the user × fragment size, reserved = the free blocks beyond those × fragment
// size. Nothing when a figure overflows or more is available than free.
std::optional<DiskUsage> diskFromBlocks(std::uint64_t blocks, std::uint64_t blocksFree,
                                        std::uint64_t blocksAvailable, std::uint64_t fragmentSize);

// Reads <procRoot>/meminfo and <procRoot>/pressure/memory. Never fails: unreadable files
// leave their figures at the fallbacks of `memoryFrom`.
MemorySnapshot memory(const std::string& procRoot = "/proc");

// The snapshot of a meminfo text and, when the kernel has one, a memory pressure (PSI) text.
// Missing or malformed meminfo fields count as 0; free percent is 100 when MemTotal or
// MemAvailable is missing. Pressure is critical when "full avg10" ≥ 10 or free percent < 5,
// warning when "some avg10" ≥ 10 or free percent < 15, else normal; a missing pressure text
// or line leaves that side to the free-percent rule.
MemorySnapshot memoryFrom(const std::string& meminfo, const std::optional<std::string>& pressure);

} // namespace tidra::SystemStats
