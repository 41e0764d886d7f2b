#include "views/cleanup/CleanupView.h"

#include "views/Padded.h"

#include "models/AppModel.h"
#include "views/cleanup/CleanConfirmation.h"
#include "views/cleanup/CleanupTexts.h"
#include "views/SelectionFooter.h"
#include "views/design/Button.h"
#include "views/design/EmptyState.h"
#include "views/design/GlassCard.h"
#include "views/design/Spinner.h"
#include "views/design/StyledLabel.h"

#include <QHBoxLayout>
#include <QStackedLayout>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace tidra {

namespace {

using Phase = AppModel::CleanupPhase;

}  // namespace

std::optional<QUrl> CleanupView::liveDockerFinder() {
  const auto entry = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, QStringLiteral("docker-desktop.desktop"));
  if (entry.isEmpty()) return std::nullopt;
  return QUrl::fromLocalFile(entry);
}

CleanupView::CleanupView(AppModel& model, QWidget* parent, CleanupList::DockerFinder findDocker)
    : QWidget(parent), model(model) {
  setObjectName(QStringLiteral("cleanupView"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(makeHeader());

  content = new QStackedLayout;
  progress = makeProgress();
  emptyState = makeEmptyState();
  cleanupList = new CleanupList(model, *model.desktop().urlOpener, std::move(findDocker));
  listCard = padded(GlassCard::around(cleanupList), 16, 16, 16, 0);
  for (auto* page : {progress, emptyState, listCard}) content->addWidget(page);
  column->addLayout(content, 1);
  footer = new SelectionFooter(QStringLiteral("Clean…"), this);
  footer->action()->setObjectName(QStringLiteral("clean"));
  connect(footer->action(), &QPushButton::clicked, this, [this] { this->model.setConfirmingClean(true); });
  column->addWidget(footer);

  for (auto signal : {&AppModel::cleanSummaryChanged, &AppModel::historyProblemChanged})
    connect(&model, signal, this, [this] { cleanupList->summaryChanged(); });
  for (auto signal : {&AppModel::cleanupPhaseChanged, &AppModel::itemsChanged, &AppModel::sizesChanged,
                      &AppModel::selectionChanged, &AppModel::cleanSummaryChanged, &AppModel::cleaningTitleChanged,
                      &AppModel::hasFullDiskAccessChanged, &AppModel::dockerStatusChanged,
                      &AppModel::isConfirmingCleanChanged, &AppModel::isRemovingChanged,
                      &AppModel::historyProblemChanged})
    connect(&model, signal, this, [this] { coalesced.schedule(); });
  refresh();
}

QWidget* CleanupView::makeHeader() {
  auto* header = new QWidget;
  auto* row = new QHBoxLayout(header);
  row->setContentsMargins(20, 12, 16, 0);
  row->addWidget(new StyledLabel(QStringLiteral("Cleanup"), Theme::TextStyle::title2, Theme::Role::label, QFont::Bold));
  row->addStretch(1);
  rescan = new Button(Button::Look::secondary, QStringLiteral("Rescan"), header);
  rescan->setObjectName(QStringLiteral("rescan"));
  rescan->setSymbol(QStringLiteral("arrow.clockwise"));
  rescan->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  connect(rescan, &QPushButton::clicked, this, [this] { model.scan(); });
  row->addWidget(rescan);
  return header;
}

QWidget* CleanupView::makeProgress() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("cleanupLooking"));
  auto* column = new QVBoxLayout(page);
  column->setSpacing(12);
  column->addStretch(1);
  column->addWidget(new Spinner(Spinner::Size::regular, page), 0, Qt::AlignHCenter);
  column->addWidget(new StyledLabel(QStringLiteral("Looking for things to clean…"), Theme::TextStyle::body,
                                    Theme::Role::secondaryLabel, -1, page),
                    0, Qt::AlignHCenter);
  column->addStretch(1);
  return page;
}

QWidget* CleanupView::makeEmptyState() {
  auto* empty = new EmptyState(QStringLiteral("checkmark.circle"), QStringLiteral("Nothing to clean"),
                               QStringLiteral("Tidra found no caches or leftovers worth removing."));
  empty->setObjectName(QStringLiteral("nothingToClean"));
  return empty;
}

void CleanupView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Queued, so the scan does not start in the middle of the window's own show.
  QMetaObject::invokeMethod(this, [this] {
    if (model.cleanupPhase() == Phase::idle) model.scan();
  }, Qt::QueuedConnection);
}

void CleanupView::refresh() {
  const auto phase = model.cleanupPhase();
  rescan->setEnabled(CleanupTexts::canRescan(phase));
  switch (CleanupTexts::content(phase, !model.visibleItems().empty(), model.cleanSummary().has_value())) {
  case CleanupTexts::Content::list:
    cleanupList->refresh();
    content->setCurrentWidget(listCard);
    break;
  case CleanupTexts::Content::nothingToClean:
    content->setCurrentWidget(emptyState);
    break;
  case CleanupTexts::Content::looking:
    content->setCurrentWidget(progress);
    break;
  }
  refreshFooter();
  presentConfirmation();
}

void CleanupView::refreshFooter() {
  const auto phase = model.cleanupPhase();
  const auto selected = model.selectedItems();
  const int count = static_cast<int>(selected.size());
  const auto waiting = CleanupTexts::waitingStatus(phase, model.isRemoving());
  footer->show(CleanupTexts::footerShowsProgress(phase) || waiting,
               waiting.value_or(CleanupTexts::footerStatus(phase, static_cast<int>(model.sizes().size()),
                                                           static_cast<int>(model.items().size()), count,
                                                           model.cleaningTitle())),
               CleanupTexts::selectionTotal(CleanupTexts::totalBytes(selected, model.sizes())),
               CleanupTexts::canClean(phase, count) && !waiting);
}

void CleanupView::presentConfirmation() {
  if (!model.isConfirmingClean()) {
    if (confirmation) confirmation->reject();
    return;
  }
  if (confirmation) return;
  confirmation = new CleanConfirmation(model, this);
  confirmation->setAttribute(Qt::WA_DeleteOnClose);
  connect(confirmation, &QDialog::finished, this, [this](int result) {
    confirmation = nullptr;
    model.setConfirmingClean(false);
    // Closed first, so the clean's progress shows on the screen itself.
    if (result == QDialog::Accepted) model.clean();
  });
  confirmation->open();
}

}  // namespace tidra
