#include "views/overview/StorageCard.h"

#include "models/AppModel.h"
#include "views/Formats.h"
#include "views/RowKeys.h"
#include "views/design/BigNumber.h"
#include "views/design/Brand.h"
#include "views/design/Button.h"
#include "views/design/CardHeader.h"
#include "views/design/KeyedRowList.h"
#include "views/design/LegendItem.h"
#include "views/design/RingGauge.h"
#include "views/design/Spinner.h"
#include "views/design/StyledLabel.h"
#include "views/overview/MeterRow.h"
#include "views/overview/OverviewTexts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tidra {

namespace {
constexpr int kRing = 156;
constexpr int kRingLine = 18;
// The widest the free figure may run: the ring's inside less a margin, at the height of the
// figure's line, which sits just above the ring's middle.
constexpr int kRingInside = kRing - 2 * kRingLine - 16;
}  // namespace

StorageCard::StorageCard(AppModel& model, QWidget* parent) : GlassCard(20, parent), model(model) {
  setObjectName(QStringLiteral("storageCard"));
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(padding, padding, padding, padding);
  row->setSpacing(28);
  unavailable = new StyledLabel(OverviewTexts::unavailable(), Theme::TextStyle::body, Theme::Role::secondaryLabel, -1, this);
  unavailable->setObjectName(QStringLiteral("diskUnavailable"));
  row->addWidget(unavailable);
  storage = new QWidget(this);
  flow = new QBoxLayout(QBoxLayout::LeftToRight, storage);
  flow->setContentsMargins(0, 0, 0, 0);
  summary = new QWidget(storage);
  auto* parts = new QHBoxLayout(summary);
  parts->setContentsMargins(0, 0, 0, 0);
  parts->setSpacing(28);
  parts->addWidget(makeRing());
  parts->addWidget(makeLegend());
  flow->addWidget(summary);
  // The room left over is shared, so the summary grows to its widest before the gap does.
  flow->addStretch(1);
  flow->addWidget(makeCleanup(), 1);
  fitCleanup();
  row->addWidget(storage, 1);
}

void StorageCard::resizeEvent(QResizeEvent* event) {
  GlassCard::resizeEvent(event);
  fitCleanup();
}

QSize StorageCard::minimumSizeHint() const {
  auto hint = GlassCard::minimumSizeHint();
  const int stacked = std::max(summary->minimumSizeHint().width(), cleanup->minimumSizeHint().width()) + 2 * padding;
  hint.setWidth(std::min(hint.width(), stacked));
  return hint;
}

int StorageCard::besideWidth() const {
  return summary->minimumSizeHint().width() + besideGap + cleanup->minimumSizeHint().width() + 2 * padding;
}

bool StorageCard::cleanupBeside() const { return flow->direction() == QBoxLayout::LeftToRight; }

void StorageCard::fitCleanup() {
  const bool beside = width() >= besideWidth();
  flow->setDirection(beside ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
  // Beside: the row's 28 and a spacer of at least 12 before the cleanup summary.
  flow->setSpacing(beside ? besideGap : 18);
}

QWidget* StorageCard::makeRing() {
  auto* frame = new QWidget(storage);
  frame->setFixedSize(kRing, kRing);
  auto* grid = new QGridLayout(frame);
  grid->setContentsMargins(0, 0, 0, 0);
  ring = new RingGauge(kRingLine, frame);
  grid->addWidget(ring, 0, 0);
  auto* middle = new QVBoxLayout;
  middle->setSpacing(0);
  middle->addStretch(1);
  // Smaller than the other big numbers: at 26 a free space such as "31.74 GB" runs into the ring,
  // and a wider one ("999.99 GB") is set smaller still to stay inside it.
  free = new BigNumber({}, 22, frame);
  free->setFitWidth(kRingInside);
  free->setObjectName(QStringLiteral("freeSpace"));
  free->setAlignment(Qt::AlignHCenter);
  middle->addWidget(free, 0, Qt::AlignHCenter);
  middle->addWidget(new StyledLabel(QStringLiteral("free"), Theme::TextStyle::callout, Theme::Role::secondaryLabel, -1, frame),
                    0, Qt::AlignHCenter);
  middle->addStretch(1);
  grid->addLayout(middle, 0, 0);
  return frame;
}

QWidget* StorageCard::makeLegend() {
  auto* legend = new QWidget(storage);
  auto* column = new QVBoxLayout(legend);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(14);
  column->addStretch(1);
  column->addWidget(new CardHeader(QStringLiteral("Storage"), QStringLiteral("internaldrive"), Brand::blue(), legend));
  availableOf = new StyledLabel({}, Theme::TextStyle::title2, Theme::Role::label, QFont::DemiBold, legend);
  availableOf->setObjectName(QStringLiteral("availableOf"));
  column->addWidget(availableOf);
  auto* items = new QVBoxLayout;
  items->setSpacing(8);
  inUse = new LegendItem(Brand::blue(), QStringLiteral("In use"), {}, legend);
  safe = new LegendItem(Brand::teal(), QStringLiteral("Safe to clean"), {}, legend);
  safe->setObjectName(QStringLiteral("safeLegend"));
  available = new LegendItem(std::nullopt, QStringLiteral("Available"), {}, legend);
  for (auto* item : {inUse, safe, available}) items->addWidget(item);
  column->addLayout(items);
  column->addStretch(1);
  return legend;
}

QWidget* StorageCard::makeCleanup() {
  cleanup = new QWidget(storage);
  cleanup->setMaximumWidth(340);
  auto* column = new QVBoxLayout(cleanup);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(10);
  column->addStretch(1);
  progress = new QWidget(cleanup);
  auto* progressRow = new QHBoxLayout(progress);
  progressRow->setContentsMargins(0, 0, 0, 0);
  progressRow->setSpacing(8);
  progressRow->addWidget(new Spinner(Spinner::Size::small, progress));
  progressText = new StyledLabel({}, Theme::TextStyle::body, Theme::Role::secondaryLabel, -1, progress);
  progressText->setObjectName(QStringLiteral("cleanupProgress"));
  progressText->setWordWrap(true);
  progressRow->addWidget(progressText, 1);
  column->addWidget(progress);

  candidates = new QWidget(cleanup);
  auto* list = new QVBoxLayout(candidates);
  list->setContentsMargins(0, 0, 0, 0);
  list->setSpacing(10);
  auto* caption = new StyledLabel(QStringLiteral("Safe to clean, rebuilt when needed"), Theme::TextStyle::callout,
                                  Theme::Role::secondaryLabel, -1, candidates);
  caption->setWordWrap(true);
  list->addWidget(caption);
  candidateRows = new KeyedRowList([](const QString&) { return new MeterRow({Brand::teal(), Brand::blue()}); }, candidates);
  candidateRows->setObjectName(QStringLiteral("candidates"));
  static_cast<QVBoxLayout*>(candidateRows->layout())->setSpacing(10);
  list->addWidget(candidateRows);
  column->addWidget(candidates);

  nothingWorth = new StyledLabel(QStringLiteral("Nothing worth cleaning right now."), Theme::TextStyle::body,
                                 Theme::Role::secondaryLabel, -1, cleanup);
  column->addWidget(nothingWorth);
  column->addSpacing(4);
  review = new Button(Button::Look::primary, {}, cleanup);
  review->setObjectName(QStringLiteral("reviewAndClean"));
  review->setControlSize(Button::Size::large);
  connect(review, &QPushButton::clicked, this, [this] { this->model.setSection(Section::cleanup); });
  column->addWidget(review, 0, Qt::AlignLeft);
  column->addStretch(1);
  return cleanup;
}

void StorageCard::refresh() {
  const bool known = model.disk().has_value();
  unavailable->setVisible(!known);
  storage->setVisible(known);
  if (!known) return;
  refreshStorage();
  refreshCleanup();
}

void StorageCard::refreshStorage() {
  const auto figures = OverviewTexts::storage(*model.disk(), model.safeBytes());
  ring->setParts(OverviewTexts::ringParts(figures));
  free->setText(Formats::bytes(figures.available));
  availableOf->setText(OverviewTexts::availableOf(figures));
  inUse->setValue(Formats::bytes(figures.used - figures.safe));
  safe->setValue(Formats::bytes(figures.safe));
  safe->setVisible(figures.safe > 0);
  available->setValue(Formats::bytes(figures.available));
  // New figures can be wider (more free after a clean): the cleanup summary moves under them
  // when they no longer fit beside it. The layouts would pass the new widths up only on later
  // turns of the event loop, so the summary's size hint is brought up to date first.
  for (QWidget* part = availableOf; part != storage; part = part->parentWidget()) part->updateGeometry();
  fitCleanup();
}

void StorageCard::refreshCleanup() {
  const auto phase = model.cleanupPhase();
  const auto visible = model.visibleItems();
  const auto line = OverviewTexts::scanProgress(phase, int(model.sizes().size()), int(model.items().size()));
  progress->setVisible(line.has_value());
  progressText->setText(line.value_or(QString()));
  const auto shown = line ? std::vector<CleanupItem>() : OverviewTexts::candidates(visible, model.sizes());
  candidates->setVisible(!line && !shown.empty());
  nothingWorth->setVisible(!line && shown.empty());
  QStringList ids;
  for (const auto& item : shown) ids << RowKeys::of(item.id);
  candidateRows->setKeys(ids);
  const auto safeBytes = model.safeBytes();
  for (const auto& item : shown) {
    const auto found = model.sizes().find(item.id);
    const auto bytes = found == model.sizes().end() ? 0 : found->second.bytes;
    static_cast<MeterRow*>(candidateRows->row(RowKeys::of(item.id)))
        ->show(Formats::fileName(item.title), Formats::bytes(bytes), OverviewTexts::candidateFraction(bytes, safeBytes));
  }
  review->setText(OverviewTexts::reviewTitle(safeBytes));
  review->setEnabled(OverviewTexts::canReview(phase, !visible.empty()));
}

}  // namespace tidra
