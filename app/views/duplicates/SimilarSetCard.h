#pragma once

#include "files/SimilarPhotoGroup.h"
#include "views/design/GlassCard.h"
#include "views/duplicates/PhotoCell.h"

#include <vector>

class QGridLayout;

namespace tidra::duplicates {

class SetHeader;

// One set of similar photos: the first photo's date, "{n} photos" and what keeping the best
// frees, over a grid of photo cells as many columns wide as fit 150 to 220 points each.
class SimilarSetCard : public GlassCard {
public:
  SimilarSetCard(SimilarPhotosModel& model, FileRevealer& revealer, PhotoCell::Open open, QWidget* parent = nullptr);

  void display(const SimilarPhotoGroup& group);
  // Rereads ticks and pictures of the cells.
  void refreshCells();
  const std::vector<PhotoCell*>& cells() const { return made; }
  int columns() const { return columnCount; }

  // How many columns of 150 to 220 points, 12 apart, fit `width`; at least one.
  static int columnsFor(int width);

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  void placeCells();

  SimilarPhotosModel& model;
  FileRevealer& revealer;
  PhotoCell::Open open;
  SimilarPhotoGroup group;
  SetHeader* header;
  QGridLayout* grid;
  std::vector<PhotoCell*> made;
  int columnCount = 0;
};

}  // namespace tidra::duplicates
