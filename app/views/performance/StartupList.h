#pragma once

#include "performance/StartupItem.h"

#include <QWidget>

#include <vector>

class QVBoxLayout;

namespace tidra {
class AppModel;
class FileRevealer;
}  // namespace tidra

namespace tidra::performance {

// The "Startup Items" tab: the items by scope, each revealable, a leftover of the person's own
// account removable after "Remove %@?", a failure told in "Could not remove it". Reloads the
// items each time it is made.
class StartupList : public QWidget {
public:
  StartupList(AppModel& model, FileRevealer& revealer, QWidget* parent = nullptr);

  void refresh();

private:
  void confirmRemoval(const StartupItem& item);
  void showProblem(const QString& problem);

  AppModel& model;
  FileRevealer& revealer;
  QVBoxLayout* sections;
  std::vector<StartupItem> shown;
};

}  // namespace tidra::performance
