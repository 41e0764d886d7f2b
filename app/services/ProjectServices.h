#pragma once

namespace tidra {

// The engine calls behind project roots, working directories and the project scan.
// Each entry is a std::function with a working live() default; tests replace single entries.
struct ProjectServices {
  static ProjectServices live();
};

}  // namespace tidra
