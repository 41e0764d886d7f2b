#include "cleanup/CleanupItem.h"

#include "fs/SizeScanner.h"

namespace tidra {

SizeResult CleanupItem::measure() const {
    if (knownBytes) return SizeResult(*knownBytes);
    // A measurement, once started, runs to its end.
    return SizeScanner::measure(action.paths(), [] { return false; });
}

} // namespace tidra
