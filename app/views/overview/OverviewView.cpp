#include "views/overview/OverviewView.h"

#include "models/AppModel.h"
#include "models/Diagnosis.h"
#include "models/ProjectsModel.h"
#include "views/design/ClearScroll.h"
#include "views/design/StyledLabel.h"
#include "views/overview/HistoryCard.h"
#include "views/overview/MemoryCard.h"
#include "views/overview/ProjectsCard.h"
#include "views/overview/StorageCard.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tidra {

OverviewView::OverviewView(AppModel& model, QWidget* parent) : QScrollArea(parent), model(model) {
  auto& projects = model.projects();
  setObjectName(QStringLiteral("overviewView"));
  auto* page = new QWidget;
  showThrough(this, page);
  auto* column = new QVBoxLayout(page);
  column->setContentsMargins(24, 24, 24, 24);
  column->setSpacing(16);
  // The page's title, as the other screens carry theirs: this window has no navigation bar.
  column->addWidget(new StyledLabel(QStringLiteral("Overview"), Theme::TextStyle::title2, Theme::Role::label, QFont::Bold, page));
  storage = new StorageCard(model, page);
  column->addWidget(storage);

  auto* cards = new QHBoxLayout;
  cards->setSpacing(16);
  memory = new MemoryCard(model, [&model] { model.diagnosis().setPresented(true); }, page);
  cards->addWidget(memory, 1);
  auto* right = new QVBoxLayout;
  right->setSpacing(16);
  projectsCard = new ProjectsCard(model, projects, page);
  right->addWidget(projectsCard, 1);
  history = new HistoryCard(model, model.scheduler(), page);
  right->addWidget(history);
  cards->addLayout(right, 1);
  column->addLayout(cards);
  column->addStretch(1);

  for (auto signal : {&AppModel::diskChanged, &AppModel::itemsChanged, &AppModel::sizesChanged,
                      &AppModel::cleanupPhaseChanged, &AppModel::recordsChanged})
    connect(&model, signal, this, [this] { coalesced.schedule(); });
  // The figures that move every few seconds concern the memory card alone.
  for (auto signal : {&AppModel::memoryChanged, &AppModel::processesChanged, &AppModel::developerToolsChanged})
    connect(&model, signal, this, [this] { memoryRefresh.schedule(); });
  for (auto signal : {&ProjectsModel::phaseChanged, &ProjectsModel::scanChanged, &ProjectsModel::selectedWorktreesChanged,
                      &ProjectsModel::selectedArtifactsChanged})
    connect(&projects, signal, this, [this] { coalesced.schedule(); });
  refresh();
}

void OverviewView::showEvent(QShowEvent* event) {
  QScrollArea::showEvent(event);
  if (!freshness) freshness = model.keepPerformanceFresh();
}

void OverviewView::hideEvent(QHideEvent* event) {
  QScrollArea::hideEvent(event);
  freshness.reset();
}

void OverviewView::refreshMemory() { memory->refresh(); }

void OverviewView::refresh() {
  storage->refresh();
  memory->refresh();
  projectsCard->refresh();
  history->refresh();
}

}  // namespace tidra
