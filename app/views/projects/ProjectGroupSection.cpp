#include "views/RowKeys.h"
#include "views/SelectionTexts.h"
#include "views/projects/ProjectGroupSection.h"

#include "platform/FileRevealer.h"
#include "platform/PathText.h"
#include "views/Formats.h"
#include "views/design/KeyedRowList.h"
#include "views/projects/ProjectRow.h"
#include "views/projects/ProjectSelection.h"
#include "views/projects/ProjectsTexts.h"
#include "views/projects/SectionHeader.h"

#include <QVBoxLayout>

namespace tidra::projects {

ProjectGroupSection::ProjectGroupSection(ProjectsModel& model, FileRevealer& revealer, QWidget* parent)
    : QWidget(parent), model(model), revealer(revealer), header(new SectionHeader(QStringLiteral("folder"), this)) {
  rows = new KeyedRowList(
      [this](const QString& path) {
        auto* row = new ProjectRow;
        connect(row, &ProjectRow::toggled, this, [this, path](bool on) {
          this->model.setSelectedArtifacts(SelectionTexts::with(this->model.selectedArtifacts(), RowKeys::path(path), on));
        });
        connect(row, &ProjectRow::revealRequested, this, [this, path] { this->revealer.reveal(RowKeys::path(path)); });
        return row;
      },
      this);
  rows->setDividers(true, 26);
  rows->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(header);
  column->addWidget(rows);
  connect(header, &SectionHeader::togglePressed, this, [this] {
    this->model.setSelectedArtifacts(ProjectSelection::toggledAll(ids, this->model.selectedArtifacts()));
  });
}

void ProjectGroupSection::show(const ProjectsModel::ProjectGroup& group, ProjectsModel::Date now) {
  ids.clear();
  ProjectsModel::Paths paths;
  for (const auto& row : group.rows) {
    ids << RowKeys::of(row.path);
    paths.insert(row.path);
  }
  rows->setKeys(ids);
  const bool editable = model.phase().isReady();
  for (const auto& row : group.rows)
    static_cast<ProjectRow*>(rows->row(RowKeys::of(row.path)))
        ->showArtifact(row, model.selectedArtifacts().contains(row.path), editable);
  const auto bytes = model.scan() ? model.scan()->freed(paths, {}) : 0;
  header->update(Formats::fileName(std::string(sys::PathText::lastComponent(group.path))), group.lastChange ? ProjectsTexts::changedText(*group.lastChange, now) : QString(),
                 ProjectSelection::allSelected(ids, model.selectedArtifacts()), Formats::bytes(bytes));
}

}  // namespace tidra::projects
