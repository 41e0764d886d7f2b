#include "views/largefiles/LargeFilesView.h"

#include "views/Padded.h"

#include "models/AppModel.h"
#include "platform/FileRevealer.h"
#include "views/Formats.h"
#include "views/HistoryNotice.h"
#include "views/applications/ProgressPage.h"
#include "views/applications/RowTable.h"
#include "views/applications/ScreenToolbar.h"
#include "views/design/ActionBar.h"
#include "views/design/Banner.h"
#include "views/design/Button.h"
#include "views/design/ConfirmationDialog.h"
#include "views/design/EmptyState.h"
#include "views/design/GlassCard.h"
#include "views/design/SegmentedControl.h"
#include "views/design/StyledLabel.h"
#include "views/design/Symbols.h"
#include "views/largefiles/LargeFilesTexts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QStackedLayout>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace tidra {

namespace {

using Phase = AppModel::SearchPhase;

constexpr int warningRole = Qt::UserRole + 1;
constexpr int warningSide = 18;

// The name with the orange triangle after it for files an app keeps its data in.
class NameDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (!index.data(warningRole).toBool()) return QStyledItemDelegate::paint(painter, option, index);
    auto rest = option;
    rest.rect.setRight(option.rect.right() - warningSide);
    QStyledItemDelegate::paint(painter, rest, index);
    const QRectF mark(option.rect.right() - warningSide, option.rect.top(), warningSide, option.rect.height());
    Symbols::draw(*painter, mark, u"exclamationmark.triangle", Theme::color(Theme::Role::orange, option.widget), 14);
  }
};

// Folders keep their last, telling components in view.
class FolderDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    option->textElideMode = Qt::ElideLeft;
  }
};

}  // namespace

LargeFilesView::LargeFilesView(AppModel& model, FileRevealer& revealer, std::string accountHome, QWidget* parent)
    : QWidget(parent), model(model), revealer(revealer), accountHome(std::move(accountHome)) {
  setObjectName(QStringLiteral("largeFilesView"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(makeToolbar());
  // Above the pages: the last file moved may leave nothing to list.
  historyNotice = new HistoryNotice(model, this);
  column->addWidget(historyNotice);
  content = new QStackedLayout;
  progress = new ProgressPage;
  progress->label()->setObjectName(QStringLiteral("searchProgress"));
  emptyState = new EmptyState(QStringLiteral("doc.viewfinder"), QStringLiteral("No files this large"),
                              QStringLiteral("Try a smaller minimum size."));
  emptyState->setObjectName(QStringLiteral("noLargeFiles"));
  results = makeResults();
  for (auto* page : {static_cast<QWidget*>(progress), emptyState, results}) content->addWidget(page);
  column->addLayout(content, 1);

  for (auto signal : {&AppModel::largeFilePhaseChanged, &AppModel::largeFilesChanged, &AppModel::filesExaminedChanged,
                      &AppModel::largeFileThresholdChanged, &AppModel::trashFailuresChanged,
                      &AppModel::hasFullDiskAccessChanged, &AppModel::iconsChanged, &AppModel::unreadableFoldersChanged})
    connect(&model, signal, this, &LargeFilesView::scheduleRefresh);
  // Refilling the rows loses the table's selection anchor, so only what the rows show does it.
  for (auto signal : {&AppModel::largeFilesChanged, &AppModel::largeFileThresholdChanged, &AppModel::iconsChanged})
    connect(&model, signal, this, [this] { rowsStale = true; });
  refresh();
}

QWidget* LargeFilesView::makeToolbar() {
  auto* bar = new ScreenToolbar(QStringLiteral("Large Files"));
  auto* row = bar->row();
  QStringList labels;
  for (const auto& threshold : LargeFilesTexts::thresholds()) labels << threshold.label;
  minimumSize = new SegmentedControl(labels, bar);
  minimumSize->setObjectName(QStringLiteral("minimumSize"));
  minimumSize->setAccessibleName(QStringLiteral("Minimum size"));
  minimumSize->setToolTip(QStringLiteral("Smallest file to list"));
  connect(minimumSize, &SegmentedControl::currentChanged, this,
          [this](int index) { this->model.setLargeFileThreshold(LargeFilesTexts::thresholds()[index].bytes); });
  row->addWidget(minimumSize);
  trashTool = new Button(Button::Look::secondary, QStringLiteral("Move to Trash"), bar);
  trashTool->setObjectName(QStringLiteral("trashTool"));
  trashTool->setSymbol(QStringLiteral("trash"));
  connect(trashTool, &QPushButton::clicked, this, &LargeFilesView::confirmTrash);
  row->addWidget(trashTool);
  searchAgain = new Button(Button::Look::secondary, QStringLiteral("Search Again"), bar);
  searchAgain->setObjectName(QStringLiteral("searchAgain"));
  searchAgain->setSymbol(QStringLiteral("arrow.clockwise"));
  connect(searchAgain, &QPushButton::clicked, this, [this] { this->model.findLargeFiles(); });
  row->addWidget(searchAgain);
  return bar;
}

QWidget* LargeFilesView::makeResults() {
  auto* page = new QWidget;
  auto* column = new QVBoxLayout(page);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  failureSlot = new QVBoxLayout;
  failureSlot->setContentsMargins(0, 0, 0, 0);
  column->addLayout(failureSlot);

  table = new RowTable({QStringLiteral("Name"), QStringLiteral("Size"), QStringLiteral("Last Changed"),
                        QStringLiteral("Folder")});
  table->setObjectName(QStringLiteral("fileTable"));
  table->setTextElideMode(Qt::ElideMiddle);
  table->setIconSize(QSize(16, 16));
  table->setItemDelegateForColumn(0, new NameDelegate(table));
  table->setItemDelegateForColumn(3, new FolderDelegate(table));
  auto* header = table->header();
  header->setStretchLastSection(false);
  header->setSectionResizeMode(0, QHeaderView::Stretch);
  header->setSectionResizeMode(1, QHeaderView::Fixed);
  header->setSectionResizeMode(2, QHeaderView::Fixed);
  header->setSectionResizeMode(3, QHeaderView::Fixed);
  header->resizeSection(1, 90);
  header->resizeSection(2, 110);
  table->viewport()->installEventFilter(this);
  table->onSelectionEdited = [this](const RowTable::Ids& ids) { takeTableSelection(ids); };
  table->makeMenu = [this](const RowTable::Ids& rows) { return menuFor(rows); };
  table->onActivated = [this](const RowTable::Ids& rows) { reveal(rows); };
  column->addWidget(padded(GlassCard::around(table, {8, 6, 8, 6}), 16, 16, 16, 0), 1);
  makeFooter();
  column->addWidget(footer);
  return page;
}

void LargeFilesView::makeFooter() {
  footer = new ActionBar;
  listText = new StyledLabel({}, Theme::TextStyle::body, Theme::Role::secondaryLabel);
  listText->setObjectName(QStringLiteral("listSummary"));
  accessNote = new StyledLabel(LargeFilesTexts::accessNote(), Theme::TextStyle::body, Theme::Role::tertiaryLabel);
  accessNote->setObjectName(QStringLiteral("accessNote"));
  unreadableText = new StyledLabel({}, Theme::TextStyle::body, Theme::Role::tertiaryLabel);
  unreadableText->setObjectName(QStringLiteral("unreadableNote"));
  selectionText = new StyledLabel({}, Theme::TextStyle::body);
  selectionText->setObjectName(QStringLiteral("selectionSummary"));
  trash = new Button(Button::Look::primary, QStringLiteral("Move to Trash…"), footer);
  trash->setObjectName(QStringLiteral("trash"));
  trash->setControlSize(Button::Size::large);
  connect(trash, &QPushButton::clicked, this, &LargeFilesView::confirmTrash);
  footer->row()->addWidget(listText);
  footer->row()->addWidget(accessNote);
  footer->row()->addWidget(unreadableText);
  footer->row()->addStretch(1);
  footer->row()->addWidget(selectionText);
  footer->row()->addWidget(trash);
}

void LargeFilesView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (model.largeFilePhase() == Phase::idle) model.findLargeFiles();
}

void LargeFilesView::setSelection(std::set<std::string> paths) {
  if (paths == chosen) return;
  chosen = std::move(paths);
  scheduleRefresh();
}

void LargeFilesView::takeTableSelection(const std::set<std::string>& shown) {
  auto next = chosen;
  for (const auto& file : listedFiles()) next.erase(file.path);
  next.insert(shown.begin(), shown.end());
  setSelection(std::move(next));
}

std::vector<LargeFile> LargeFilesView::listedFiles() const {
  return LargeFilesTexts::listed(model.largeFiles(), model.largeFileThreshold());
}

std::vector<LargeFile> LargeFilesView::selectedFiles() const {
  return LargeFilesTexts::selectedFiles(listedFiles(), chosen);
}

void LargeFilesView::scheduleRefresh() {
  if (std::exchange(refreshQueued, true)) return;
  QMetaObject::invokeMethod(this, [this] {
    refreshQueued = false;
    refresh();
  }, Qt::QueuedConnection);
}

void LargeFilesView::refresh() {
  const auto& thresholds = LargeFilesTexts::thresholds();
  for (std::size_t index = 0; index < thresholds.size(); ++index)
    if (thresholds[index].bytes == model.largeFileThreshold()) {
      const QSignalBlocker quiet(minimumSize);
      minimumSize->setCurrentIndex(static_cast<int>(index));
    }
  const bool anySelected = !selectedFiles().empty();
  trashTool->setEnabled(anySelected);
  searchAgain->setEnabled(model.largeFilePhase() != Phase::searching);
  refreshContent();
}

void LargeFilesView::refreshContent() {
  if (model.largeFilePhase() != Phase::ready) {
    progress->setText(LargeFilesTexts::progress(model.filesExamined()));
    content->setCurrentWidget(progress);
    return;
  }
  if (listedFiles().empty()) {
    content->setCurrentWidget(emptyState);
    return;
  }
  content->setCurrentWidget(results);
  refreshFailures();
  if (std::exchange(rowsStale, false)) fillTable();
  table->showSelection(chosen);
  refreshFooter();
}

void LargeFilesView::refreshFailures() {
  delete std::exchange(failureBanner, nullptr);
  const auto& failures = model.trashFailures();
  // An empty slot keeps no margin, so the card starts where it does on the other screens.
  failureSlot->setContentsMargins(failures.empty() ? QMargins() : QMargins(12, 12, 12, 0));
  if (failures.empty()) return;
  auto* banner = new Banner(QStringLiteral("exclamationmark.triangle.fill"), Theme::Role::orange,
                            LargeFilesTexts::failureTitle(failures), LargeFilesTexts::failureDetail(failures, accountHome));
  banner->setObjectName(QStringLiteral("trashFailures"));
  auto* dismiss = new Button(Button::Look::link, QStringLiteral("Dismiss"), banner);
  dismiss->setObjectName(QStringLiteral("dismissFailures"));
  connect(dismiss, &QPushButton::clicked, this, [this] { model.setTrashFailures({}); });
  banner->actions()->addWidget(dismiss);
  failureSlot->addWidget(banner);
  failureBanner = banner;
}

void LargeFilesView::fillTable() {
  const auto files = listedFiles();
  std::vector<std::string> ids;
  for (const auto& file : files) ids.push_back(file.path);
  const auto fallback = Symbols::icon(u"doc", Theme::color(Theme::Role::secondaryLabel, this), 16);
  std::size_t next = 0;
  table->setRows(ids, [&](QTreeWidgetItem& item, const std::string&) {
    const auto& file = files[next++];
    item.setText(0, Formats::fileName(file.name()));
    item.setIcon(0, model.icons().value(LargeFilesTexts::typeKey(file.path), fallback));
    if (LargeFilesTexts::inLibrary(file.path, accountHome)) {
      item.setData(0, warningRole, true);
      item.setToolTip(0, QStringLiteral("This belongs to an app. Removing it can break that app or lose its data."));
    }
    item.setText(1, Formats::bytes(file.bytes));
    // The table has no room for a second line: the size, which is what the note qualifies, says it.
    if (const auto note = LargeFilesTexts::linksNote(file)) item.setToolTip(1, *note);
    item.setText(2, Formats::date(file.modified));
    item.setText(3, Formats::tildePath(file.folder(), accountHome));
    item.setForeground(3, Theme::color(Theme::Role::secondaryLabel, this));
    item.setToolTip(3, Formats::fileName(file.folder()));
  });
  fitColumns();
}

int LargeFilesView::folderColumnWidth(int shared, int needed) { return std::max(0, std::min(needed, shared * 2 / 5)); }

void LargeFilesView::fitColumns() {
  auto* header = table->header();
  const int shared = table->viewport()->width() - header->sectionSize(1) - header->sectionSize(2);
  header->resizeSection(3, folderColumnWidth(shared, table->columnNeeds(3)));
}

bool LargeFilesView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == table->viewport() && event->type() == QEvent::Resize) fitColumns();
  return QWidget::eventFilter(watched, event);
}

void LargeFilesView::refreshFooter() {
  listText->setText(LargeFilesTexts::listSummary(listedFiles()));
  accessNote->setVisible(!model.hasFullDiskAccess());
  const auto unreadable = LargeFilesTexts::unreadableNote(model.unreadableFolders());
  unreadableText->setText(unreadable.value_or(QString()));
  unreadableText->setVisible(unreadable.has_value());
  const auto selected = selectedFiles();
  const auto summary = LargeFilesTexts::selectionSummary(selected);
  selectionText->setText(summary.value_or(QString()));
  selectionText->setVisible(summary.has_value());
  trash->setEnabled(!selected.empty());
}

QMenu* LargeFilesView::menuFor(const std::set<std::string>& rows) {
  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("fileMenu"));
  auto* show = menu->addAction(QStringLiteral("Show in Folder"), this, [this, rows] { reveal(rows); });
  show->setObjectName(QStringLiteral("showInFolder"));
  auto* move = menu->addAction(QStringLiteral("Move to Trash"), this, [this, rows] {
    setSelection(rows);
    confirmTrash();
  });
  move->setObjectName(QStringLiteral("trashRows"));
  // Opened over no row there is nothing to act on, and moving nothing would still be recorded.
  for (auto* action : {show, move}) action->setEnabled(!rows.empty());
  return menu;
}

void LargeFilesView::confirmTrash() {
  const auto files = selectedFiles();
  if (files.empty() || confirming) return;
  confirming = true;
  auto* dialog = new ConfirmationDialog(LargeFilesTexts::trashQuestion(files), LargeFilesTexts::trashMessage(files.size()),
                                        QStringLiteral("Move to Trash"), true, this);
  dialog->setObjectName(QStringLiteral("trashConfirmation"));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::finished, this, [this](int result) {
    confirming = false;
    if (result != QDialog::Accepted) return;
    const auto moving = selectedFiles();
    setSelection({});
    if (moving.empty()) return;
    model.moveToTrash(moving);
    historyNotice->removalStarted();
  });
  dialog->open();
}

void LargeFilesView::reveal(const std::set<std::string>& paths) {
  for (const auto& path : paths) revealer.reveal(path);
}

}  // namespace tidra
