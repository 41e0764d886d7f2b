#pragma once

#include "views/CoalescedRefresh.h"

#include <QWidget>

class QStackedLayout;

namespace tidra {
class ActionBar;
class AppModel;
class Button;
class FileRevealer;
class ProjectsModel;
class Scheduler;
class StyledLabel;
}  // namespace tidra

namespace tidra::projects {

class ProjectsList;

// The Projects screen: where projects are searched, the scan with its progress and "Stop", the
// list of what can go, and the footer that counts the selection and opens the confirmation.
// Keeps no state: every text and state is recomputed from the model once per event-loop turn
// after it changes, or after `app` writes the history or fails to. Showing it starts nothing.
class ProjectsView : public QWidget {
public:
  ProjectsView(ProjectsModel& model, const AppModel& app, Scheduler& scheduler, FileRevealer& revealer,
               QWidget* parent = nullptr);

  void refresh();

private:
  QWidget* makeFoldersRow();
  QWidget* makeProgress();
  QWidget* makeEmptyState();
  void makeFooter();
  void refreshFooter();
  void presentConfirmation();

  ProjectsModel& model;
  Scheduler& scheduler;
  FileRevealer& revealer;
  CoalescedRefresh laterRefresh;
  bool confirmationOpen = false;

  Button* scanAgain;
  StyledLabel* rootsText;
  Button* changeFolders;
  Button* folderMenu;
  QStackedLayout* content;
  StyledLabel* progressText;
  QWidget* progress;
  QWidget* emptyState;
  QWidget* listCard;
  ProjectsList* list;
  ActionBar* footer;
  QWidget* removingSpinner;
  StyledLabel* footerText;
  StyledLabel* footerBytes;
  Button* remove;
};

}  // namespace tidra::projects
