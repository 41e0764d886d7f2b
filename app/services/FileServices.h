#pragma once

namespace tidra {

// The engine calls behind the large-file, duplicate and similar-photo finders and moves to the Trash.
// Each entry is a std::function with a working live() default; tests replace single entries.
struct FileServices {
  static FileServices live();
};

}  // namespace tidra
