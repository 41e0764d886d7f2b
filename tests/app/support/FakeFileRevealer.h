#pragma once

#include "platform/FileRevealer.h"

#include <string>
#include <vector>

namespace tidra {

// Records what was revealed, byte for byte.
class FakeFileRevealer final : public FileRevealer {
public:
  void reveal(const std::string& path) override { revealed.push_back(path); }
  std::vector<std::string> revealed;
};

}  // namespace tidra
