#pragma once

#include "models/ProjectsModel.h"

#include <QWidget>

namespace tidra {
class FileRevealer;
class KeyedRowList;
class Scheduler;
}  // namespace tidra

namespace tidra::projects {

class SectionHeader;

// One project's section: its header and its artifact rows.
class ProjectGroupSection : public QWidget {
public:
  ProjectGroupSection(ProjectsModel& model, FileRevealer& revealer, QWidget* parent = nullptr);
  void show(const ProjectsModel::ProjectGroup& group, ProjectsModel::Date now);

private:
  ProjectsModel& model;
  FileRevealer& revealer;
  SectionHeader* header;
  KeyedRowList* rows;
  QStringList ids;
};

}  // namespace tidra::projects
