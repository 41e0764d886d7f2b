#pragma once

#include "views/design/GlassCard.h"

class QStackedLayout;

namespace tidra {

class AppModel;
class BigNumber;
class Button;
class ProjectsModel;
class StyledLabel;

// The overview's projects card: before a scan an invitation, during the first scan its
// progress, afterwards what the current selection would free. Its button goes to the Projects
// screen and starts the first scan there; an existing scan is never redone from here.
class ProjectsCard : public GlassCard {
public:
  ProjectsCard(AppModel& model, ProjectsModel& projects, QWidget* parent = nullptr);

  void refresh();

private:
  AppModel& model;
  ProjectsModel& projects;
  BigNumber* number;
  QWidget* scanning;
  StyledLabel* text;
  Button* button;
};

}  // namespace tidra
