#include "views/overview/OverviewView.h"

#include "models/AppModel.h"
#include "models/ProjectsModel.h"
#include "views/overview/HistoryCard.h"
#include "views/overview/MemoryCard.h"
#include "views/overview/ProjectsCard.h"
#include "views/overview/StorageCard.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tidra {

OverviewView::OverviewView(AppModel& model, ProjectsModel& projects, Scheduler& scheduler, std::function<void()> diagnose,
                           QWidget* parent)
    : QScrollArea(parent) {
  setObjectName(QStringLiteral("overviewView"));
  setWidgetResizable(true);
  setFrameShape(QFrame::NoFrame);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  viewport()->setAutoFillBackground(false);
  auto* page = new QWidget;
  page->setAutoFillBackground(false);
  auto* column = new QVBoxLayout(page);
  column->setContentsMargins(24, 24, 24, 24);
  column->setSpacing(16);
  storage = new StorageCard(model, page);
  column->addWidget(storage);

  auto* cards = new QHBoxLayout;
  cards->setSpacing(16);
  memory = new MemoryCard(model, std::move(diagnose), page);
  cards->addWidget(memory, 1);
  auto* right = new QVBoxLayout;
  right->setSpacing(16);
  projectsCard = new ProjectsCard(model, projects, page);
  right->addWidget(projectsCard, 1);
  history = new HistoryCard(model, scheduler, page);
  right->addWidget(history);
  cards->addLayout(right, 1);
  column->addLayout(cards);
  column->addStretch(1);
  setWidget(page);

  for (auto signal : {&AppModel::diskChanged, &AppModel::itemsChanged, &AppModel::sizesChanged,
                      &AppModel::cleanupPhaseChanged, &AppModel::recordsChanged, &AppModel::memoryChanged,
                      &AppModel::processesChanged, &AppModel::developerToolsChanged})
    connect(&model, signal, this, [this] { coalesced.schedule(); });
  for (auto signal : {&ProjectsModel::phaseChanged, &ProjectsModel::scanChanged, &ProjectsModel::selectedWorktreesChanged,
                      &ProjectsModel::selectedArtifactsChanged})
    connect(&projects, signal, this, [this] { coalesced.schedule(); });
  refresh();
}

void OverviewView::refresh() {
  storage->refresh();
  memory->refresh();
  projectsCard->refresh();
  history->refresh();
}

}  // namespace tidra
