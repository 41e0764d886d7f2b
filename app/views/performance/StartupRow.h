#pragma once

#include "performance/StartupItem.h"

#include <QWidget>

#include <functional>

namespace tidra {
class FileRevealer;
}

namespace tidra::performance {

// One startup item: a warning chip for a leftover, its label with the leftover badge, its
// program, when it starts, "Remove…" for a leftover and "Show in Folder".
class StartupRow : public QWidget {
public:
  StartupRow(const StartupItem& item, const std::string& home, FileRevealer& revealer,
             std::function<void(const StartupItem&)> remove, QWidget* parent = nullptr);
};

}  // namespace tidra::performance
