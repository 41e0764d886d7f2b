#pragma once

namespace tidra {

// The engine calls behind the process sampler factory, developer tools, idle servers, folder activity, startup items, memory figures, the slowness probes.
// Each entry is a std::function with a working live() default; tests replace single entries.
struct PerformanceServices {
  static PerformanceServices live();
};

}  // namespace tidra
