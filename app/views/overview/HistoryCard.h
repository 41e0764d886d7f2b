#pragma once

#include "runtime/Scheduler.h"
#include "views/design/GlassCard.h"

namespace tidra {

class AppModel;
class BigNumber;
class KeyedRowList;
class StyledLabel;

// The overview's history card: everything Tidra has freed, and the three latest cleanups
// with when, from where and how much; "when" ages while the card lives.
class HistoryCard : public GlassCard {
public:
  HistoryCard(AppModel& model, Scheduler& scheduler, QWidget* parent = nullptr);

  void refresh();

private:
  void ageLater(Scheduler::Clock::duration age);

  AppModel& model;
  Scheduler& scheduler;
  StyledLabel* empty;
  QWidget* total;
  BigNumber* freed;
  KeyedRowList* rows;
  bool agingQueued = false;
};

}  // namespace tidra
