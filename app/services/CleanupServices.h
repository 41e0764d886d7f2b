#pragma once

namespace tidra {

// The engine calls behind the cleanup catalog, measuring, the cleaner, the administrator removal, the history, disk figures, Docker and tool probes.
// Each entry is a std::function with a working live() default; tests replace single entries.
struct CleanupServices {
  static CleanupServices live();
};

}  // namespace tidra
