#pragma once

#include "views/design/GlassCard.h"

namespace tidra {

class AppModel;
class BigNumber;
class KeyedRowList;
class Scheduler;
class StyledLabel;

// The overview's history card: everything Tidra has freed, and the three latest cleanups
// with when, from where and how much.
class HistoryCard : public GlassCard {
public:
  HistoryCard(AppModel& model, Scheduler& scheduler, QWidget* parent = nullptr);

  void refresh();

private:
  AppModel& model;
  Scheduler& scheduler;
  StyledLabel* empty;
  QWidget* total;
  BigNumber* freed;
  KeyedRowList* rows;
};

}  // namespace tidra
