#include "views/duplicates/DuplicatesView.h"

#include "models/DuplicatesModel.h"
#include "models/SimilarPhotosModel.h"
#include "platform/FileAccess.h"
#include "views/HistoryNotice.h"
#include "views/design/Button.h"
#include "views/design/ConfirmationDialog.h"
#include "views/design/SegmentedControl.h"
#include "views/design/StyledLabel.h"
#include "views/duplicates/DuplicatesTexts.h"
#include "views/duplicates/IdenticalPane.h"
#include "views/duplicates/PreviewWindow.h"
#include "views/duplicates/SetsFooter.h"
#include "views/duplicates/SimilarPane.h"

#include <QHBoxLayout>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace tidra::duplicates {

namespace {

using Mode = DuplicatesModel::Mode;

QStringList modeTitles() {
  return {DuplicatesModel::rawValue(Mode::identical), DuplicatesModel::rawValue(Mode::similar)};
}

QStringList thresholdTitles() {
  QStringList titles;
  for (const auto& row : DuplicatesTexts::thresholds()) titles << row.label;
  return titles;
}

}  // namespace

DuplicatesView::DuplicatesView(DuplicatesModel& duplicates, SimilarPhotosModel& photos, const AppModel& app,
                               FileRevealer& revealer, std::shared_ptr<Thumbnailer> thumbnailer, QWidget* parent)
    : QWidget(parent), duplicates(duplicates), photos(photos), revealer(revealer), thumbnailer(std::move(thumbnailer)) {
  setObjectName(QStringLiteral("duplicatesView"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(makeToolbar());

  modes = new SegmentedControl(modeTitles(), this);
  modes->setObjectName(QStringLiteral("modePicker"));
  modes->setAccessibleName(QStringLiteral("Show"));
  modes->setMaximumWidth(340);
  connect(modes, &SegmentedControl::currentChanged, this,
          [this](int index) { this->duplicates.setMode(index == 1 ? Mode::similar : Mode::identical); });
  column->addSpacing(12);
  column->addWidget(modes, 0, Qt::AlignHCenter);
  unreadableText = new StyledLabel({}, Theme::TextStyle::callout, Theme::Role::secondaryLabel);
  unreadableText->setObjectName(QStringLiteral("unreadableNote"));
  column->addWidget(unreadableText, 0, Qt::AlignHCenter);
  historyNotice = new HistoryNotice(app, this);
  column->addWidget(historyNotice);

  panes = new QStackedLayout;
  identical = new IdenticalPane(duplicates, revealer);
  similar = new SimilarPane(photos, duplicates, revealer, [this](const std::string& path) { setPreview(path); });
  panes->addWidget(identical);
  panes->addWidget(similar);
  column->addLayout(panes, 1);
  makeFooters();
  column->addWidget(identicalFooter);
  column->addWidget(similarFooter);

  for (auto* model : {static_cast<FileSetsModel*>(&duplicates), static_cast<FileSetsModel*>(&photos)})
    for (auto signal : {&FileSetsModel::phaseChanged, &FileSetsModel::groupsChanged, &FileSetsModel::stageChanged,
                        &FileSetsModel::selectionChanged, &FileSetsModel::isConfirmingChanged,
                        &FileSetsModel::failuresChanged, &FileSetsModel::thumbnailsChanged})
      connect(model, signal, this, &DuplicatesView::scheduleRefresh);
  for (auto signal : {&DuplicatesModel::thresholdChanged, &DuplicatesModel::hasPhotosLibraryChanged,
                      &DuplicatesModel::unreadableFoldersChanged})
    connect(&duplicates, signal, this, &DuplicatesView::scheduleRefresh);
  connect(&duplicates, &DuplicatesModel::modeChanged, this, &DuplicatesView::scheduleRefresh);
  // Queued: the search starts after whoever changed the mode has finished its assignments.
  connect(&duplicates, &DuplicatesModel::modeChanged, this, &DuplicatesView::startFirstSearch, Qt::QueuedConnection);
  refresh();
}

QWidget* DuplicatesView::makeToolbar() {
  auto* bar = new QWidget;
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(20, 12, 16, 0);
  row->setSpacing(10);
  row->addWidget(new StyledLabel(QStringLiteral("Duplicates"), Theme::TextStyle::title2, Theme::Role::label, QFont::Bold));
  row->addStretch(1);
  minimumSize = new QWidget;
  auto* picker = new QHBoxLayout(minimumSize);
  picker->setContentsMargins(0, 0, 0, 0);
  picker->addWidget(new StyledLabel(QStringLiteral("Minimum size"), Theme::TextStyle::callout, Theme::Role::secondaryLabel));
  thresholds = new SegmentedControl(thresholdTitles(), minimumSize);
  thresholds->setObjectName(QStringLiteral("minimumSize"));
  thresholds->setToolTip(QStringLiteral("Smallest copy to list"));
  connect(thresholds, &SegmentedControl::currentChanged, this,
          [this](int index) { duplicates.setThreshold(DuplicatesTexts::thresholds().at(index).bytes); });
  picker->addWidget(thresholds);
  row->addWidget(minimumSize);
  searchAgain = new Button(Button::Look::secondary, QStringLiteral("Search Again"), bar);
  searchAgain->setObjectName(QStringLiteral("searchAgain"));
  searchAgain->setSymbol(QStringLiteral("arrow.clockwise"));
  connect(searchAgain, &QPushButton::clicked, this, [this] {
    if (duplicates.mode() == Mode::similar) photos.find();
    else duplicates.find();
  });
  row->addWidget(searchAgain);
  return bar;
}

void DuplicatesView::makeFooters() {
  identicalFooter = new SetsFooter(
      QStringLiteral("Select Extra Copies"), DuplicatesTexts::extraCopiesHelp(),
      QStringLiteral("Keeps one copy in each set: the oldest, preferring one outside Downloads whose name doesn't end "
                     "in “copy” or “(1)”."),
      this);
  identicalFooter->setObjectName(QStringLiteral("identicalFooter"));
  connect(identicalFooter->selectButton(), &QPushButton::clicked, this, [this] { duplicates.selectExtraCopies(); });
  connect(identicalFooter->moveButton(), &QPushButton::clicked, this, [this] { duplicates.setConfirming(true); });
  similarFooter = new SetsFooter(
      QStringLiteral("Select All but the Best"), DuplicatesTexts::besidesTheBestHelp(),
      DuplicatesTexts::keepBestHelp(),
      this);
  similarFooter->setObjectName(QStringLiteral("similarFooter"));
  connect(similarFooter->selectButton(), &QPushButton::clicked, this, [this] { photos.selectAllButTheBest(); });
  connect(similarFooter->moveButton(), &QPushButton::clicked, this, [this] { photos.setConfirming(true); });
}

void DuplicatesView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  startFirstSearch();
}

void DuplicatesView::startFirstSearch() {
  // Only a model that never searched: coming back shows the earlier results.
  if (duplicates.mode() == Mode::similar) {
    if (photos.phase() == FileSetsModel::Phase::idle) photos.find();
  } else if (duplicates.phase() == FileSetsModel::Phase::idle) {
    duplicates.find();
  }
}

void DuplicatesView::scheduleRefresh() {
  if (std::exchange(refreshQueued, true)) return;
  QMetaObject::invokeMethod(this, [this] {
    refreshQueued = false;
    refresh();
  }, Qt::QueuedConnection);
}

void DuplicatesView::refresh() {
  const bool similarMode = duplicates.mode() == Mode::similar;
  modes->setCurrentIndex(similarMode ? 1 : 0);
  {
    const QSignalBlocker quiet(thresholds);
    thresholds->setCurrentIndex(DuplicatesTexts::thresholdIndex(duplicates.threshold()));
  }
  minimumSize->setVisible(!similarMode);
  const FileSetsModel& current = similarMode ? static_cast<FileSetsModel&>(photos) : duplicates;
  searchAgain->setEnabled(current.phase() != FileSetsModel::Phase::searching);
  if (similarMode) {
    similar->refresh();
    panes->setCurrentWidget(similar);
  } else {
    identical->refresh();
    panes->setCurrentWidget(identical);
  }
  refreshFooters();
  presentConfirmations();
}

void DuplicatesView::refreshFooters() {
  const bool similarMode = duplicates.mode() == Mode::similar;
  const auto unreadable = DuplicatesTexts::unreadableNote(duplicates.unreadableFolders());
  unreadableText->setText(unreadable.value_or(QString()));
  unreadableText->setVisible(!similarMode && duplicates.phase() == FileSetsModel::Phase::ready && unreadable);
  const auto& selection = duplicates.selection();
  const auto shown = DuplicatesTexts::shownSets(duplicates.groups(), duplicates.threshold());
  identicalFooter->setVisible(!similarMode && duplicates.phase() == FileSetsModel::Phase::ready && !shown.empty());
  const auto selectedFiles = duplicates.selectedFiles();
  identicalFooter->setFigures(
      DuplicatesTexts::setsSummary(shown.size(), DuplicatesTexts::identicalReclaimable(duplicates.groups(), duplicates.threshold())),
      selection.empty() ? QString()
                        : DuplicatesTexts::selectionSummary(
                              selectedFiles.size(),
                              DuplicatesTexts::identicalFreed(duplicates.groups(), duplicates.threshold(), selection)),
      !selectedFiles.empty());

  similarFooter->setVisible(similarMode && photos.phase() == FileSetsModel::Phase::ready && !photos.groups().empty());
  const auto selectedPhotos = photos.selectedPhotos();
  similarFooter->setFigures(
      DuplicatesTexts::photoSetsSummary(photos.groups().size(), photos.reclaimable()),
      photos.selection().empty()
          ? QString()
          : DuplicatesTexts::selectionSummary(selectedPhotos.size(),
                                              DuplicatesTexts::similarFreed(photos.groups(), photos.selection())),
      !selectedPhotos.empty());
}

void DuplicatesView::presentConfirmations() {
  if (duplicates.isConfirming() && !identicalConfirmationOpen) confirm(true);
  if (photos.isConfirming() && !similarConfirmationOpen) confirm(false);
}

void DuplicatesView::confirm(bool identicalSide) {
  QString title;
  QString message;
  if (identicalSide) {
    const auto files = duplicates.selectedFiles();
    title = DuplicatesTexts::identicalQuestion(files);
    message = DuplicatesTexts::trashMessage(
        DuplicatesTexts::identicalFreed(duplicates.groups(), duplicates.threshold(), duplicates.selection()),
        duplicates.setsLosingEveryCopy(), QStringLiteral("file"), files.size());
    // Nothing shown is selected: there is nothing to ask about.
    if (files.empty()) return duplicates.setConfirming(false);
  } else {
    const auto selected = photos.selectedPhotos();
    title = DuplicatesTexts::similarQuestion(selected);
    message = DuplicatesTexts::trashMessage(DuplicatesTexts::similarFreed(photos.groups(), photos.selection()),
                                            photos.setsLosingEveryPhoto(), QStringLiteral("set"), selected.size());
    if (selected.empty()) return photos.setConfirming(false);
  }
  FileSetsModel& model = identicalSide ? static_cast<FileSetsModel&>(duplicates) : photos;
  bool& open = identicalSide ? identicalConfirmationOpen : similarConfirmationOpen;
  open = true;
  auto* dialog = new ConfirmationDialog(title, message, QStringLiteral("Move to Trash"), true, this);
  dialog->setObjectName(identicalSide ? QStringLiteral("identicalConfirmation") : QStringLiteral("similarConfirmation"));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::finished, this, [this, &model, &open](int result) {
    open = false;
    model.setConfirming(false);
    if (result != QDialog::Accepted) return;
    model.moveToTrash();
    historyNotice->removalStarted();
  });
  dialog->open();
}

void DuplicatesView::setPreview(const std::string& path) {
  if (!sys::existsFollowingLinks(path)) return;
  previewed = path;
  const auto cached = photos.thumbnails().find(path);
  const QImage standIn = cached != photos.thumbnails().end() ? cached->second : QImage();
  auto* window = new PreviewWindow(path, standIn, thumbnailer, this);
  window->setAttribute(Qt::WA_DeleteOnClose);
  connect(window, &QDialog::finished, this, [this] { previewed.reset(); });
  window->open();
}

}  // namespace tidra::duplicates
