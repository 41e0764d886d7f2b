#include "views/duplicates/SimilarSetCard.h"

#include "views/duplicates/DuplicatesTexts.h"
#include "views/duplicates/SetHeader.h"

#include <QGridLayout>
#include <QVBoxLayout>

namespace tidra::duplicates {

namespace {
constexpr int minimumCell = 150;
constexpr int maximumCell = 220;
constexpr int gap = 12;
constexpr int padding = 14;
}  // namespace

int SimilarSetCard::columnsFor(int width) { return std::max(1, (width + gap) / (minimumCell + gap)); }

SimilarSetCard::SimilarSetCard(SimilarPhotosModel& model, FileRevealer& revealer, PhotoCell::Open open, QWidget* parent)
    : GlassCard(18, parent), model(model), revealer(revealer), open(std::move(open)) {
  setObjectName(QStringLiteral("similarSetCard"));
  // As narrow as one tile, not as wide as the tiles placed for the last width: the grid takes
  // fewer columns when the window narrows instead of holding the card wider than its list.
  setMinimumWidth(minimumCell + 2 * padding);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(padding, padding, padding, padding);
  column->setSpacing(10);
  header = new SetHeader(Theme::TextStyle::callout);
  column->addWidget(header);
  grid = new QGridLayout;
  grid->setHorizontalSpacing(gap);
  grid->setVerticalSpacing(gap);
  grid->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  column->addLayout(grid);
}

void SimilarSetCard::display(const SimilarPhotoGroup& shown) {
  const bool samePhotos = shown.photos == group.photos;
  group = shown;
  header->display(DuplicatesTexts::setTitle(group), DuplicatesTexts::photosBadge(group.photos.size()),
                  DuplicatesTexts::besidesTheBest(group.reclaimable()));
  if (samePhotos && !made.empty()) return refreshCells();
  for (auto* cell : made) delete cell;
  made.clear();
  for (std::size_t i = 0; i < group.photos.size(); ++i)
    made.push_back(new PhotoCell(group.photos[i], i == 0, model, revealer, open, this));
  columnCount = 0;
  placeCells();
}

void SimilarSetCard::refreshCells() {
  for (auto* cell : made) cell->refresh();
}

void SimilarSetCard::resizeEvent(QResizeEvent* event) {
  GlassCard::resizeEvent(event);
  placeCells();
}

void SimilarSetCard::placeCells() {
  const int inner = width() - 2 * padding;
  const int columns = columnsFor(inner);
  const int cellWidth = std::clamp((inner - gap * (columns - 1)) / columns, minimumCell, maximumCell);
  for (auto* cell : made) cell->setFixedWidth(cellWidth);
  if (columns == columnCount) return;
  columnCount = columns;
  for (auto* cell : made) grid->removeWidget(cell);
  for (std::size_t i = 0; i < made.size(); ++i)
    grid->addWidget(made[i], static_cast<int>(i) / columns, static_cast<int>(i) % columns);
}

}  // namespace tidra::duplicates
