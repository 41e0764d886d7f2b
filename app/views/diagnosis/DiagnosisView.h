#pragma once

#include "views/CoalescedRefresh.h"

#include <QWidget>

class QLabel;

namespace tidra {

class AppModel;
class KeyedRowList;
class SymbolView;

// What the "Why Is My Computer Slow?" check found: a progress line while it runs, then a
// verdict and one row per finding, in the check's order. Shared by the diagnosis sheet and the
// menu-bar panel (`compact`, with the smaller sizes). Draws no card or background and never
// starts a check: it follows the model's diagnosis and applies the fixes a person asks for.
// Starting and finishing a check fade the new content in (when motion is on).
class DiagnosisView : public QWidget {
public:
  DiagnosisView(AppModel& model, bool compact, QWidget* parent = nullptr);

  void refresh();

private:
  QWidget* makeProgress();
  QWidget* makeVerdict();
  QWidget* makeRow(const QString& id);

  AppModel& model;
  const bool compact;
  CoalescedRefresh laterRefresh{this, [this] { refresh(); }};
  bool wasChecking = false;

  QWidget* progress;
  QWidget* verdict;
  SymbolView* verdictSymbol;
  QLabel* verdictTitle;
  KeyedRowList* rows;
};

}  // namespace tidra
