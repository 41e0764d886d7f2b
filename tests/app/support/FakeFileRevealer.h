#pragma once

#include "platform/FileRevealer.h"

#include <QStringList>

namespace tidra {

// Records what was revealed.
class FakeFileRevealer final : public FileRevealer {
public:
  void reveal(const QString& path) override { revealed << path; }
  QStringList revealed;
};

}  // namespace tidra
