#pragma once

#include "performance/DeveloperTool.h"

#include <QWidget>

#include <chrono>
#include <functional>
#include <optional>

namespace tidra::performance {

// One running developer tool: its kind's chip, title with the dev-server badge and when it
// started, what it does and what stopping costs, memory and CPU, and "Stop…".
class ToolRow : public QWidget {
public:
  ToolRow(const DeveloperTool& tool, std::optional<double> idle, std::chrono::system_clock::time_point now,
          std::function<void()> stop, QWidget* parent = nullptr);
};

}  // namespace tidra::performance
