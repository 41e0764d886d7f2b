#include "views/projects/ProjectsView.h"

#include "views/Padded.h"

#include "models/AppModel.h"
#include "models/ProjectsModel.h"
#include "runtime/Scheduler.h"
#include "views/Formats.h"
#include "views/SelectionTexts.h"
#include "views/design/ActionBar.h"
#include "views/design/Button.h"
#include "views/design/EmptyState.h"
#include "views/design/GlassCard.h"
#include "views/design/Spinner.h"
#include "views/design/StyledLabel.h"
#include "views/projects/ProjectsConfirmation.h"
#include "views/projects/ProjectsList.h"
#include "views/projects/ProjectsTexts.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace tidra::projects {

ProjectsView::ProjectsView(ProjectsModel& model, const AppModel& app, Scheduler& scheduler, FileRevealer& revealer,
                           QWidget* parent)
    : QWidget(parent), model(model), scheduler(scheduler), revealer(revealer), laterRefresh(this, [this] { refresh(); }) {
  setObjectName(QStringLiteral("projectsView"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  auto* toolbar = new QHBoxLayout;
  toolbar->setContentsMargins(20, 12, 16, 0);
  toolbar->addWidget(new StyledLabel(QStringLiteral("Projects"), Theme::TextStyle::title2, Theme::Role::label, QFont::Bold));
  toolbar->addStretch(1);
  scanAgain = new Button(Button::Look::secondary, QStringLiteral("Scan Again"), this);
  scanAgain->setObjectName(QStringLiteral("scanAgain"));
  scanAgain->setSymbol(QStringLiteral("arrow.clockwise"));
  connect(scanAgain, &QPushButton::clicked, this, [this] { this->model.scanProjects(); });
  toolbar->addWidget(scanAgain);
  column->addLayout(toolbar);

  column->addWidget(padded(makeFoldersRow(), 16, 12, 16, 0));
  content = new QStackedLayout;
  progress = makeProgress();
  emptyState = makeEmptyState();
  list = new ProjectsList(model, app, scheduler, revealer);
  listCard = padded(GlassCard::around(list), 16, 16, 16, 0);
  for (auto* page : {progress, emptyState, listCard}) content->addWidget(page);
  column->addLayout(content, 1);
  makeFooter();
  column->addWidget(footer);

  for (auto signal : {&ProjectsModel::phaseChanged, &ProjectsModel::scanChanged, &ProjectsModel::selectedWorktreesChanged,
                      &ProjectsModel::selectedArtifactsChanged, &ProjectsModel::summaryChanged, &ProjectsModel::rootsChanged,
                      &ProjectsModel::isConfirmingChanged})
    connect(&model, signal, this, [this] { laterRefresh.schedule(); });
  connect(&app, &AppModel::historyProblemChanged, this, [this] { laterRefresh.schedule(); });
  refresh();
}

QWidget* ProjectsView::makeFoldersRow() {
  auto* card = new GlassCard(14);
  auto* row = new QHBoxLayout(card);
  row->setContentsMargins(16, 10, 16, 10);
  row->setSpacing(12);
  row->addWidget(new StyledLabel(QStringLiteral("Looks in"), Theme::TextStyle::body, Theme::Role::secondaryLabel),
                 0, Qt::AlignTop);
  rootsText = new StyledLabel({}, Theme::TextStyle::body);
  rootsText->setObjectName(QStringLiteral("projectRoots"));
  rootsText->setWordWrap(true);
  rootsText->setMaximumHeight(rootsText->fontMetrics().lineSpacing() * 2 + 2);
  row->addWidget(rootsText, 1, Qt::AlignTop);
  changeFolders = new Button(Button::Look::secondary, QStringLiteral("Change Folders…"));
  changeFolders->setObjectName(QStringLiteral("changeFolders"));
  connect(changeFolders, &QPushButton::clicked, this, [this] { model.chooseRoots(); });
  row->addWidget(changeFolders);
  folderMenu = new Button(Button::Look::link, {});
  folderMenu->setObjectName(QStringLiteral("folderMenu"));
  folderMenu->setSymbol(QStringLiteral("ellipsis.circle"));
  auto* menu = new QMenu(folderMenu);
  menu->addAction(QStringLiteral("Use the Usual Folders"), this, [this] { model.setRoots(model.usualRoots()); });
  connect(folderMenu, &QPushButton::clicked, this, [this, menu] {
    menu->popup(folderMenu->mapToGlobal(QPoint(0, folderMenu->height())));
  });
  row->addWidget(folderMenu);
  return card;
}

QWidget* ProjectsView::makeProgress() {
  auto* page = new QWidget;
  auto* column = new QVBoxLayout(page);
  column->setSpacing(12);
  column->addStretch(1);
  column->addWidget(new Spinner(Spinner::Size::regular, page), 0, Qt::AlignHCenter);
  progressText = new StyledLabel({}, Theme::TextStyle::body, Theme::Role::secondaryLabel);
  progressText->setObjectName(QStringLiteral("scanProgress"));
  column->addWidget(progressText, 0, Qt::AlignHCenter);
  auto* stop = new Button(Button::Look::secondary, QStringLiteral("Stop"), page);
  stop->setObjectName(QStringLiteral("stopScan"));
  connect(stop, &QPushButton::clicked, this, [this] { model.stopScan(); });
  column->addWidget(stop, 0, Qt::AlignHCenter);
  column->addStretch(1);
  return page;
}

QWidget* ProjectsView::makeEmptyState() {
  auto* empty = new EmptyState(QStringLiteral("folder.badge.gearshape"), QStringLiteral("Find space in your projects"),
                               QStringLiteral("Finds dependencies and build output you can regenerate, and git worktrees "
                                              "you have finished with. Sizes count files shared between folders once, so "
                                              "they show what deleting really frees."));
  auto* scan = new Button(Button::Look::primary, QStringLiteral("Scan Projects"), empty);
  scan->setObjectName(QStringLiteral("scanProjects"));
  scan->setControlSize(Button::Size::large);
  connect(scan, &QPushButton::clicked, this, [this] { model.scanProjects(); });
  empty->actions()->addWidget(scan);
  return empty;
}

void ProjectsView::makeFooter() {
  footer = new ActionBar(this);
  removingSpinner = new Spinner(Spinner::Size::small, footer);
  footerText = new StyledLabel({}, Theme::TextStyle::body, Theme::Role::secondaryLabel);
  footerText->setObjectName(QStringLiteral("footerText"));
  footerBytes = new StyledLabel({}, Theme::TextStyle::title3, Theme::Role::label, QFont::DemiBold);
  footerBytes->setObjectName(QStringLiteral("footerBytes"));
  remove = new Button(Button::Look::primary, QStringLiteral("Remove…"), footer);
  remove->setObjectName(QStringLiteral("remove"));
  remove->setControlSize(Button::Size::large);
  connect(remove, &QPushButton::clicked, this, [this] { model.setConfirming(true); });
  footer->row()->addWidget(removingSpinner);
  footer->row()->addWidget(footerText);
  footer->row()->addStretch(1);
  footer->row()->addWidget(footerBytes);
  footer->row()->addWidget(remove);
}

void ProjectsView::refresh() {
  const auto& phase = model.phase();
  const bool scanning = phase.isScanning();
  rootsText->setText(ProjectsTexts::rootsText(model.roots(), model.home()));
  rootsText->setToolTip(ProjectsTexts::rootsHelp(model.roots()));
  // Folders change only between operations: a removal finishing must not bring back old roots.
  changeFolders->setEnabled(phase.isIdle() || phase.isReady());
  folderMenu->setEnabled(phase.isIdle() || phase.isReady());
  scanAgain->setEnabled(!scanning && model.scan().has_value());
  if (const auto* stage = std::get_if<ProjectsPhase::Scanning>(&phase.value)) {
    progressText->setText(ProjectsTexts::describe(stage->stage));
    content->setCurrentWidget(progress);
  } else if (phase.isIdle() && !model.scan()) {
    content->setCurrentWidget(emptyState);
  } else {
    list->refresh();
    content->setCurrentWidget(listCard);
  }
  refreshFooter();
  presentConfirmation();
}

void ProjectsView::refreshFooter() {
  footer->setVisible(model.scan().has_value());
  const int count = static_cast<int>(model.selectedWorktreeRows().size() + model.selectedArtifactRows().size());
  const auto* cleaning = std::get_if<ProjectsPhase::Cleaning>(&model.phase().value);
  removingSpinner->setVisible(cleaning != nullptr);
  footerText->setText(cleaning ? ProjectsTexts::removingLabel(cleaning->label) : SelectionTexts::count(count));
  const auto bytes = model.selectedBytes();
  footerBytes->setText(Formats::bytes(bytes));
  footerBytes->setVisible(bytes > 0);
  remove->setEnabled(model.phase().isReady() && count >= 1);
}

void ProjectsView::presentConfirmation() {
  if (!model.isConfirming() || confirmationOpen) return;
  confirmationOpen = true;
  auto* sheet = new ProjectsConfirmation(model, this);
  sheet->setAttribute(Qt::WA_DeleteOnClose);
  connect(sheet, &QDialog::finished, this, [this](int result) {
    confirmationOpen = false;
    model.setConfirming(false);
    if (result == QDialog::Accepted) model.clean();
  });
  // The flag is the sheet's state: whoever turns it off (the screenshot run) closes the sheet.
  connect(&model, &ProjectsModel::isConfirmingChanged, sheet, [this, sheet] {
    if (!model.isConfirming()) sheet->reject();
  });
  sheet->open();
}

}  // namespace tidra::projects
