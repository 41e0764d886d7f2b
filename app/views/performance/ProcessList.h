#pragma once

#include <QWidget>

namespace tidra {
class AppModel;
class KeyedRowList;
struct ProcessGroup;
}  // namespace tidra

namespace tidra::performance {

// The "Apps" tab: the groups holding the most memory, at most 80, under a column header, each
// quittable after "Quit %@?" unless it is ours or the system's.
class ProcessList : public QWidget {
public:
  explicit ProcessList(AppModel& model, QWidget* parent = nullptr);

  void refresh();

private:
  void confirmQuit(const ProcessGroup& group);

  AppModel& model;
  KeyedRowList* rows;
};

}  // namespace tidra::performance
