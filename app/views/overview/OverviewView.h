#pragma once

#include "views/CoalescedRefresh.h"

#include "models/AppModel.h"

#include <QScrollArea>

#include <optional>

namespace tidra {

class HistoryCard;
class MemoryCard;
class ProjectsCard;
class StorageCard;

// The overview: storage and the largest safe wins on one wide card, then memory beside
// projects and history. Only reads the models and moves the person to other sections; the
// one thing it starts is the first project scan. Keeps no state: a card's texts are recomputed
// from the models once per event-loop turn after what it shows changed. While shown it keeps the memory
// figures fresh.
class OverviewView : public QScrollArea {
public:
  explicit OverviewView(AppModel& model, QWidget* parent = nullptr);

  void refresh();

protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

private:
  void refreshMemory();

  AppModel& model;
  std::optional<AppModel::RefreshToken> freshness;
  CoalescedRefresh coalesced{this, [this] { refresh(); }};
  CoalescedRefresh memoryRefresh{this, [this] { refreshMemory(); }};
  StorageCard* storage;
  MemoryCard* memory;
  ProjectsCard* projectsCard;
  HistoryCard* history;
};

}  // namespace tidra
