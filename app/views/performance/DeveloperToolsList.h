#pragma once

#include "performance/DeveloperTool.h"

#include <QWidget>

#include <map>
#include <string>
#include <vector>

class QStackedLayout;

namespace tidra {
class AppModel;
class Button;
class KeyedRowList;
class Scheduler;
class StyledLabel;
}  // namespace tidra

namespace tidra::performance {

// The "Developer Tools" tab: what runs and what it holds in total, each tool stoppable after
// "Stop %@?", idle build daemons all at once; a placeholder while nothing runs. A tool's row
// stays the same widget from one refresh to the next.
class DeveloperToolsList : public QWidget {
public:
  DeveloperToolsList(AppModel& model, Scheduler& scheduler, QWidget* parent = nullptr);

  // Seconds each tool (by id) has sat idle, as the background monitor measured.
  void refresh(const std::map<std::string, double>& idleTimes);

private:
  void confirmStop(const DeveloperTool& tool);

  AppModel& model;
  Scheduler& scheduler;
  QStackedLayout* pages;
  StyledLabel* total;
  Button* stopIdle;
  KeyedRowList* rows;
};

}  // namespace tidra::performance
