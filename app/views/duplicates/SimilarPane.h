#pragma once

#include "views/duplicates/PhotoCell.h"

#include "views/duplicates/SetsPane.h"

namespace tidra {
class DuplicatesModel;
class EmptyState;
}  // namespace tidra

namespace tidra::duplicates {

class LazyColumn;
class SimilarSetCard;

// The similar-photos list: the search's progress, then the notices, the line on which photos
// are compared with its way back to identical files, and either "No similar photos" or one
// card per set, best photo first.
class SimilarPane : public SetsPane {
public:
  // The space between the cards' right edge and the list's scroll bar.
  static constexpr int cardGutter = 12;

  SimilarPane(SimilarPhotosModel& photos, DuplicatesModel& duplicates, FileRevealer& revealer, PhotoCell::Open open,
              QWidget* parent = nullptr);

  void refresh();
  // The card of a set already made, or null.
  SimilarSetCard* card(const std::string& id) const;
  LazyColumn* list() const { return column; }

private:
  QWidget* makeExplanation();
  EmptyState* makeNoPhotosState();

  SimilarPhotosModel& photos;
  DuplicatesModel& duplicates;
  FileRevealer& revealer;
  PhotoCell::Open open;
  EmptyState* empty;
  LazyColumn* column;
};

}  // namespace tidra::duplicates
