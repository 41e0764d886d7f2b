#include "views/ContentView.h"

#include "models/AppModel.h"
#include "platform/FileRevealer.h"
#include "platform/HomeFolder.h"
#include "views/Sidebar.h"
#include "views/cleanup/CleanupView.h"
#include "views/overview/OverviewView.h"
#include "views/applications/ApplicationsView.h"
#include "views/design/Backdrop.h"
#include "views/design/ReadingOrder.h"
#include "views/largefiles/LargeFilesView.h"
#include "views/duplicates/DuplicatesView.h"
#include "views/performance/PerformanceView.h"
#include "views/projects/ProjectsView.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QSplitter>
#include <QVBoxLayout>

namespace tidra {

namespace {

FileRevealer& fallbackRevealer() {
  static LiveUrlOpener opener;
  static LiveFileRevealer live(opener);
  return live;
}

}  // namespace

ContentView::ContentView(AppModel& model, const BackgroundMonitor& monitor, QWidget* parent)
    : QWidget(parent), model(model), monitor(monitor) {
  setObjectName(QStringLiteral("content"));
  setMinimumSize(leastWidth, leastHeight);
  list = new Sidebar(model, this);
  detail = new Backdrop(this);
  detail->setObjectName(QStringLiteral("detail"));
  auto* detailColumn = new QVBoxLayout(detail);
  detailColumn->setContentsMargins(0, 0, 0, 0);

  split = new QSplitter(Qt::Horizontal, this);
  split->setChildrenCollapsible(false);
  split->setHandleWidth(1);
  // Fixed here rather than taken from each screen, so that no screen's wish for room moves the
  // sidebar: every screen fits the room the smallest window leaves it.
  detail->setMinimumWidth(leastWidth - Sidebar::ideal - split->handleWidth());
  split->addWidget(list);
  split->addWidget(detail);
  split->setStretchFactor(0, 0);
  split->setStretchFactor(1, 1);
  split->setSizes({Sidebar::ideal, leastWidth - Sidebar::ideal});

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(split);

  showSection();
  connect(&model, &AppModel::sectionChanged, this, &ContentView::showSection);
}

QWidget* ContentView::makeScreen(std::optional<Section> section) {
  FileRevealer& revealer = model.desktop().fileRevealer ? *model.desktop().fileRevealer : fallbackRevealer();
  switch (section.value_or(Section::overview)) {
    case Section::overview: return new OverviewView(model);
    case Section::cleanup: return new CleanupView(model);
    case Section::projects: return new projects::ProjectsView(model.projects(), model, model.scheduler(), revealer);
    case Section::largeFiles: return new LargeFilesView(model, revealer, sys::homeFolder());
    case Section::duplicates:
      return new duplicates::DuplicatesView(model.duplicates(), model.similarPhotos(), model, revealer,
                                            model.desktop().thumbnailer);
    case Section::applications:
      return new applications::ApplicationsView(model.applications(), model, model.scheduler(), revealer,
                                                [this] { model.setSection(Section::cleanup); });
    case Section::performance:
      return new performance::PerformanceView(model, model.scheduler(), revealer, &monitor);
  }
  return new OverviewView(model);
}

void ContentView::showSection() {
  QWidget* next = makeScreen(model.section());
  next->setParent(detail);
  detail->layout()->addWidget(next);
  if (current != nullptr) {
    // Later, not now: the old screen may be the one whose button changed the section.
    detail->layout()->removeWidget(current);
    current->hide();
    current->deleteLater();
  }
  current = next;
  current->show();
}

bool ContentView::focusNextPrevChild(bool next) { return ReadingOrder::moveFocus(this, next); }

void ContentView::setDiagnosisPresented(bool presented) {
  if (presented == (sheet != nullptr)) return;
  if (!presented) {
    QDialog* closing = sheet;
    sheet = nullptr;
    closing->close();
    closing->deleteLater();
    return;
  }
  if (!makeDiagnosisSheet) return;
  sheet = makeDiagnosisSheet(this);
  connect(sheet, &QDialog::finished, this, [this, opened = sheet] {
    if (sheet != opened) return;  // closed by setDiagnosisPresented(false)
    sheet = nullptr;
    opened->deleteLater();
    if (diagnosisDismissed) diagnosisDismissed();
  });
  sheet->open();
}

}  // namespace tidra
