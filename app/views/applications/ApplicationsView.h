#pragma once

#include "models/ApplicationsModel.h"

#include <QWidget>

#include <functional>
#include <set>
#include <string>

class QMenu;
class QStackedLayout;
class QVBoxLayout;

namespace tidra {
class ActionBar;
class AppModel;
class Button;
class FileRevealer;
class RowTable;
class Scheduler;
class SegmentedControl;
class StyledLabel;
}  // namespace tidra

namespace tidra::applications {

class UninstallBanner;

// The Applications screen: the installed apps with their footprint and last use, sorted by
// the toolbar's choice; "Uninstall…" opens the sheet, and the last result stays on top until
// dismissed, orange while `app` could not add a removal to the history. Keeps no state of its
// own: everything is recomputed from the models once per event-loop turn after they change.
// The first showing starts the model's scan when it has never run.
class ApplicationsView : public QWidget {
public:
  // `openCleanup` switches the window to the Cleanup section.
  ApplicationsView(ApplicationsModel& model, const AppModel& app, Scheduler& scheduler, FileRevealer& revealer,
                   std::function<void()> openCleanup, QWidget* parent = nullptr);

  void refresh();
  // The context menu for these rows, not yet shown; its actions are disabled for no rows.
  QMenu* menuFor(const std::set<std::string>& rows);

protected:
  void showEvent(QShowEvent* event) override;

private:
  QWidget* makeToolbar();
  QWidget* makeListArea();
  void makeFooter();
  void scheduleRefresh();
  void refreshTable();
  void fillTable();
  void refreshBanners();
  void refreshFooter();
  void presentConfirmation();
  void askToUninstall();
  // Shows the paths that still exist in the file manager.
  void reveal(const std::set<std::string>& paths);

  ApplicationsModel& model;
  const AppModel& app;
  Scheduler& scheduler;
  FileRevealer& revealer;
  std::function<void()> openCleanup;
  bool refreshQueued = false;
  bool confirmationOpen = false;
  bool rowsStale = true;

  SegmentedControl* sortBy;
  Button* rescan;
  QStackedLayout* content;
  QWidget* progress;
  QWidget* emptyState;
  QWidget* listArea;
  QVBoxLayout* bannerSlot;
  UninstallBanner* banner = nullptr;
  QWidget* accessNotice;
  RowTable* table;
  ActionBar* footer;
  QWidget* statusSpinner;
  StyledLabel* statusText;
  Button* cleanupLink;
  StyledLabel* selectedBytes;
  Button* uninstall;
};

}  // namespace tidra::applications
