#pragma once

#include "views/CoalescedRefresh.h"
#include "views/cleanup/CleanupList.h"

#include <QWidget>

class QStackedLayout;

namespace tidra {

class AppModel;
class Button;
class SelectionFooter;

// The Cleanup screen: what can be cleaned, by category, with what each removal costs; the
// footer sums up the selection and opens the confirmation that runs the clean. Keeps no state:
// every text and state is recomputed from the model once per event-loop turn after it
// changes. Appearing while no scan has run starts one.
class CleanupView : public QWidget {
public:
  explicit CleanupView(AppModel& model, QWidget* parent = nullptr, CleanupList::DockerFinder findDocker = liveDockerFinder);

  // Docker Desktop's desktop entry, when it is installed.
  static std::optional<QUrl> liveDockerFinder();

  void refresh();

  CleanupList* list() const { return cleanupList; }

protected:
  void showEvent(QShowEvent* event) override;

private:
  QWidget* makeHeader();
  QWidget* makeProgress();
  QWidget* makeEmptyState();
  void refreshFooter();
  void presentConfirmation();

  AppModel& model;
  CoalescedRefresh coalesced{this, [this] { refresh(); }};
  QDialog* confirmation = nullptr;

  Button* rescan;
  QStackedLayout* content;
  QWidget* progress;
  QWidget* emptyState;
  QWidget* listCard;
  CleanupList* cleanupList;
  SelectionFooter* footer;
};

}  // namespace tidra
