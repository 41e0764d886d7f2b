#pragma once

#include "performance/DeveloperTool.h"

#include <QWidget>

#include <chrono>
#include <functional>
#include <optional>

class QHBoxLayout;

namespace tidra {
class Badge;
class StyledLabel;
}  // namespace tidra

namespace tidra::performance {

// One running developer tool: its kind's chip, title with the dev-server badge and when it
// started, what it does and what stopping costs, memory and CPU, and "Stop…". Made for one
// kind of tool; shown again with new figures, it changes only the parts that changed.
class ToolRow : public QWidget {
public:
  ToolRow(DeveloperTool::Kind kind, std::function<void(const DeveloperTool&)> stop, QWidget* parent = nullptr);

  void show(const DeveloperTool& tool, std::optional<double> idle, std::chrono::system_clock::time_point now);

private:
  void showBadge(const DeveloperTool& tool, std::optional<double> idle);

  DeveloperTool shown;
  QHBoxLayout* title;
  StyledLabel* name;
  Badge* badge = nullptr;
  StyledLabel* started;
  StyledLabel* description;
  StyledLabel* memory;
  StyledLabel* cpu;
};

}  // namespace tidra::performance
