#include "views/applications/ApplicationsView.h"

#include "models/AppModel.h"
#include "platform/FileAccess.h"
#include "platform/FileRevealer.h"
#include "runtime/Scheduler.h"
#include "views/Formats.h"
#include "views/applications/AppIcon.h"
#include "views/applications/ApplicationsTexts.h"
#include "views/applications/ProgressPage.h"
#include "views/applications/RowTable.h"
#include "views/applications/ScreenToolbar.h"
#include "views/applications/UninstallBanner.h"
#include "views/applications/UninstallConfirmation.h"
#include "views/design/ActionBar.h"
#include "views/design/Banner.h"
#include "views/design/Button.h"
#include "views/design/EmptyState.h"
#include "views/design/GlassCard.h"
#include "views/design/SegmentedControl.h"
#include "views/design/Spinner.h"
#include "views/design/StyledLabel.h"
#include "views/design/SymbolView.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace tidra::applications {

namespace {

using Order = ApplicationsModel::Order;
using Phase = ApplicationsModel::Phase;

constexpr Order orders[] = {Order::size, Order::lastOpened, Order::name};

QWidget* nameCell(const InstalledApp& app, const ApplicationsModel& model) {
  auto* cell = new QWidget;
  auto* row = new QHBoxLayout(cell);
  row->setContentsMargins(4, 0, 4, 0);
  row->setSpacing(7);
  if (auto* icon = appIcon(model, app.path, 20)) row->addWidget(icon);
  row->addWidget(new StyledLabel(QString::fromStdString(app.name), Theme::TextStyle::body));
  if (app.version)
    row->addWidget(new StyledLabel(QString::fromStdString(*app.version), Theme::TextStyle::body, Theme::Role::tertiaryLabel));
  if (app.needsPassword) {
    auto* lock = new SymbolView(QStringLiteral("lock"), Theme::Role::secondaryLabel, 13);
    lock->setObjectName(QStringLiteral("passwordLock"));
    lock->setToolTip(ApplicationsTexts::lockedHelp(app));
    row->addWidget(lock);
  }
  row->addStretch(1);
  return cell;
}

QWidget* sizeSpinner() {
  auto* cell = new QWidget;
  auto* row = new QHBoxLayout(cell);
  row->setContentsMargins(4, 0, 4, 0);
  row->addWidget(new Spinner(Spinner::Size::small));
  row->addStretch(1);
  return cell;
}

}  // namespace

ApplicationsView::ApplicationsView(ApplicationsModel& model, const AppModel& app, Scheduler& scheduler,
                                   FileRevealer& revealer, std::function<void()> openCleanup, QWidget* parent)
    : QWidget(parent),
      model(model),
      app(app),
      scheduler(scheduler),
      revealer(revealer),
      openCleanup(std::move(openCleanup)) {
  setObjectName(QStringLiteral("applicationsView"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(makeToolbar());
  content = new QStackedLayout;
  progress = new ProgressPage(QStringLiteral("Looking for apps…"));
  emptyState = new EmptyState(QStringLiteral("square.grid.2x2"), QStringLiteral("No apps to uninstall"),
                              ApplicationsTexts::noAppsDescription());
  emptyState->setObjectName(QStringLiteral("noApps"));
  listArea = makeListArea();
  for (auto* page : {progress, emptyState, listArea}) content->addWidget(page);
  column->addLayout(content, 1);
  makeFooter();
  column->addWidget(footer);

  for (auto signal : {&ApplicationsModel::phaseChanged, &ApplicationsModel::appsChanged, &ApplicationsModel::partsChanged,
                      &ApplicationsModel::iconsChanged, &ApplicationsModel::hasFullDiskAccessChanged,
                      &ApplicationsModel::orderChanged, &ApplicationsModel::selectionChanged,
                      &ApplicationsModel::keptPartsChanged, &ApplicationsModel::isConfirmingChanged,
                      &ApplicationsModel::summaryChanged, &ApplicationsModel::removingNameChanged})
    connect(&model, signal, this, &ApplicationsView::scheduleRefresh);
  connect(&app, &AppModel::historyProblemChanged, this, &ApplicationsView::scheduleRefresh);
  // Refilling the rows loses the table's selection anchor, so only what the rows show does it.
  for (auto signal : {&ApplicationsModel::appsChanged, &ApplicationsModel::partsChanged, &ApplicationsModel::iconsChanged,
                      &ApplicationsModel::orderChanged})
    connect(&model, signal, this, [this] { rowsStale = true; });
  refresh();
}

QWidget* ApplicationsView::makeToolbar() {
  auto* bar = new ScreenToolbar(QStringLiteral("Applications"));
  auto* row = bar->row();
  QStringList titles;
  for (auto order : orders) titles << ApplicationsModel::rawValue(order);
  sortBy = new SegmentedControl(titles, bar);
  sortBy->setObjectName(QStringLiteral("sortBy"));
  sortBy->setAccessibleName(QStringLiteral("Sort by"));
  sortBy->setToolTip(QStringLiteral("Order of the list"));
  connect(sortBy, &SegmentedControl::currentChanged, this, [this](int index) { model.setOrder(orders[index]); });
  row->addWidget(sortBy);
  rescan = new Button(Button::Look::secondary, QStringLiteral("Rescan"), bar);
  rescan->setObjectName(QStringLiteral("rescan"));
  rescan->setSymbol(QStringLiteral("arrow.clockwise"));
  rescan->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  connect(rescan, &QPushButton::clicked, this, [this] { this->model.scan(); });
  row->addWidget(rescan);
  return bar;
}

QWidget* ApplicationsView::makeListArea() {
  auto* area = new QWidget;
  auto* column = new QVBoxLayout(area);
  column->setContentsMargins(16, 16, 16, 0);
  column->setSpacing(10);
  bannerSlot = new QVBoxLayout;
  bannerSlot->setContentsMargins(0, 0, 0, 0);
  column->addLayout(bannerSlot);
  accessNotice = new Banner(QStringLiteral("eye.slash"), Theme::Role::secondaryLabel,
                            QStringLiteral("Apps' containers are left out"),
                            ApplicationsTexts::accessNoticeDetail());
  accessNotice->setObjectName(QStringLiteral("accessNotice"));
  column->addWidget(accessNotice);

  table = new RowTable({QStringLiteral("Name"), QStringLiteral("Size"), QStringLiteral("Last Opened")});
  table->setObjectName(QStringLiteral("appTable"));
  table->header()->setStretchLastSection(false);
  table->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  table->header()->setSectionResizeMode(1, QHeaderView::Fixed);
  table->header()->setSectionResizeMode(2, QHeaderView::Fixed);
  table->header()->resizeSection(1, 100);
  table->header()->resizeSection(2, 130);
  table->onSelectionEdited = [this](const RowTable::Ids& ids) { model.setSelection(ids); };
  table->makeMenu = [this](const RowTable::Ids& rows) { return menuFor(rows); };
  table->onActivated = [this](const RowTable::Ids& rows) { reveal(rows); };
  column->addWidget(GlassCard::around(table, {8, 6, 8, 6}), 1);
  return area;
}

void ApplicationsView::makeFooter() {
  footer = new ActionBar(this);
  statusSpinner = new Spinner(Spinner::Size::small, footer);
  statusText = new StyledLabel({}, Theme::TextStyle::body, Theme::Role::secondaryLabel);
  statusText->setObjectName(QStringLiteral("footerStatus"));
  cleanupLink = new Button(Button::Look::link, QStringLiteral("Leftovers of deleted apps are in Cleanup"), footer);
  cleanupLink->setObjectName(QStringLiteral("cleanupLink"));
  connect(cleanupLink, &QPushButton::clicked, this, [this] {
    if (openCleanup) openCleanup();
  });
  selectedBytes = new StyledLabel({}, Theme::TextStyle::title3, Theme::Role::label, QFont::DemiBold);
  selectedBytes->setObjectName(QStringLiteral("selectedBytes"));
  uninstall = new Button(Button::Look::primary, QStringLiteral("Uninstall…"), footer);
  uninstall->setObjectName(QStringLiteral("uninstall"));
  uninstall->setControlSize(Button::Size::large);
  connect(uninstall, &QPushButton::clicked, this, &ApplicationsView::askToUninstall);
  for (auto* widget : {statusSpinner, static_cast<QWidget*>(statusText), static_cast<QWidget*>(cleanupLink)})
    footer->row()->addWidget(widget);
  footer->row()->addStretch(1);
  footer->row()->addWidget(selectedBytes);
  footer->row()->addWidget(uninstall);
}

void ApplicationsView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (model.phase() == Phase::idle) model.scan();
}

void ApplicationsView::scheduleRefresh() {
  if (std::exchange(refreshQueued, true)) return;
  QMetaObject::invokeMethod(this, [this] {
    refreshQueued = false;
    refresh();
  }, Qt::QueuedConnection);
}

void ApplicationsView::refresh() {
  const auto phase = model.phase();
  const int orderIndex = static_cast<int>(std::find(std::begin(orders), std::end(orders), model.order()) - orders);
  {
    const QSignalBlocker quiet(sortBy);
    sortBy->setCurrentIndex(orderIndex);
  }
  rescan->setEnabled(phase == Phase::idle || phase == Phase::ready);
  if (model.apps().empty() && !model.summary())
    content->setCurrentWidget(phase == Phase::ready ? emptyState : progress);
  else
    content->setCurrentWidget(listArea);
  refreshBanners();
  refreshTable();
  refreshFooter();
  presentConfirmation();
}

void ApplicationsView::refreshTable() {
  if (std::exchange(rowsStale, false)) fillTable();
  table->showSelection(model.selection());
}

void ApplicationsView::fillTable() {
  std::vector<std::string> ids;
  const auto sorted = model.sortedApps();
  for (const auto& app : sorted) ids.push_back(app.path);
  const auto now = scheduler.now();
  std::size_t next = 0;
  table->setRows(ids, [&](QTreeWidgetItem& item, const std::string&) {
    const auto& app = sorted[next++];
    table->setItemWidget(&item, 0, nameCell(app, model));
    if (const auto bytes = model.bytes(app))
      item.setText(1, Formats::bytes(*bytes));
    else
      table->setItemWidget(&item, 1, sizeSpinner());
    item.setText(2, ApplicationsTexts::lastOpened(app.lastOpened, now));
    if (!app.lastOpened) {
      item.setForeground(2, Theme::color(Theme::Role::tertiaryLabel, this));
      item.setToolTip(2, ApplicationsTexts::lastOpenedUnknownHelp());
    }
  });
}

void ApplicationsView::refreshBanners() {
  const auto& summary = model.summary();
  // A new result is a new banner, so its list of what stayed starts folded.
  if (banner && (!summary || banner->summary() != *summary || banner->unrecorded() != app.historyProblem())) {
    delete banner;
    banner = nullptr;
  }
  if (summary && !banner) {
    banner = new UninstallBanner(model, *summary, app.historyProblem());
    bannerSlot->addWidget(banner);
  }
  accessNotice->setVisible(!model.hasFullDiskAccess());
}

void ApplicationsView::refreshFooter() {
  const auto phase = model.phase();
  const int apps = static_cast<int>(model.apps().size());
  statusSpinner->setVisible(phase != Phase::ready);
  cleanupLink->setVisible(phase == Phase::ready);
  if (phase == Phase::ready) {
    std::int64_t total = 0;
    for (const auto& app : model.apps()) total += model.bytes(app).value_or(0);
    statusText->setText(ApplicationsTexts::readyStatus(apps, total));
  } else if (phase == Phase::removing) {
    statusText->setText(ApplicationsTexts::removingStatus(model.removingName()));
  } else {
    statusText->setText(ApplicationsTexts::scanningStatus(apps, static_cast<int>(model.parts().size())));
  }
  selectedBytes->setText(Formats::bytes(model.selectedBytes()));
  selectedBytes->setVisible(!model.selection().empty());
  uninstall->setEnabled(phase == Phase::ready && !model.selection().empty());
}

QMenu* ApplicationsView::menuFor(const std::set<std::string>& rows) {
  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("appMenu"));
  auto* show = menu->addAction(QStringLiteral("Show in Folder"), this, [this, rows] { reveal(rows); });
  show->setObjectName(QStringLiteral("showInFolder"));
  show->setEnabled(!rows.empty());
  auto* remove = menu->addAction(QStringLiteral("Uninstall…"), this, [this, rows] {
    model.setSelection(rows);
    askToUninstall();
  });
  remove->setObjectName(QStringLiteral("uninstallRows"));
  remove->setEnabled(!rows.empty() && model.phase() == Phase::ready);
  return menu;
}

void ApplicationsView::askToUninstall() {
  model.resetKeptParts();
  model.setConfirming(true);
}

void ApplicationsView::presentConfirmation() {
  if (!model.isConfirming() || confirmationOpen) return;
  confirmationOpen = true;
  auto* sheet = new UninstallConfirmation(model, this);
  sheet->setAttribute(Qt::WA_DeleteOnClose);
  connect(sheet, &QDialog::finished, this, [this](int result) {
    confirmationOpen = false;
    model.setConfirming(false);
    if (result == QDialog::Accepted) model.uninstall();
  });
  connect(&model, &ApplicationsModel::isConfirmingChanged, sheet, [this, sheet] {
    if (!model.isConfirming()) sheet->reject();
  });
  sheet->open();
}

void ApplicationsView::reveal(const std::set<std::string>& paths) {
  for (const auto& path : paths)
    if (sys::existsFollowingLinks(path)) revealer.reveal(path);
}

}  // namespace tidra::applications
