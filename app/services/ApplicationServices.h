#pragma once

namespace tidra {

// The engine calls behind installed apps, footprints and the app remover.
// Each entry is a std::function with a working live() default; tests replace single entries.
struct ApplicationServices {
  static ApplicationServices live();
};

}  // namespace tidra
