#pragma once

#include "system/DiskUsage.h"
#include "system/MemorySnapshot.h"

#include <QString>

#include <optional>

namespace tidra::MenuBarLabel {

// What the menu-bar item shows: a symbol that turns into a warning sign while memory is under
// pressure, and the disk's free space as a bare size.

// "sparkles" with no reading or normal pressure; "exclamationmark.triangle.fill" under
// warning or critical pressure.
QString symbol(const std::optional<MemorySnapshot>& memory);

// The available bytes in the file format ("31.74 GB"); empty with no disk reading.
QString text(const std::optional<DiskUsage>& disk);

}  // namespace tidra::MenuBarLabel
