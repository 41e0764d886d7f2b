#pragma once

#include "views/CoalescedRefresh.h"

#include <QScrollArea>

#include <functional>

namespace tidra {

class AppModel;
class HistoryCard;
class MemoryCard;
class ProjectsModel;
class ProjectsCard;
class Scheduler;
class StorageCard;

// The overview: storage and the largest safe wins on one wide card, then memory beside
// projects and history. Only reads the models and moves the person to other sections; the
// one thing it starts is the first project scan. Keeps no state: every text is recomputed
// from the models once per event-loop turn after they change.
class OverviewView : public QScrollArea {
public:
  // `diagnose` opens the slowness check.
  OverviewView(AppModel& model, ProjectsModel& projects, Scheduler& scheduler, std::function<void()> diagnose,
               QWidget* parent = nullptr);

  void refresh();

private:
  CoalescedRefresh coalesced{this, [this] { refresh(); }};
  StorageCard* storage;
  MemoryCard* memory;
  ProjectsCard* projectsCard;
  HistoryCard* history;
};

}  // namespace tidra
