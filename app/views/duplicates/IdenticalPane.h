#pragma once

#include "views/duplicates/SetsPane.h"

namespace tidra {
class DuplicatesModel;
class EmptyState;
class FileRevealer;
class GlassCard;
}  // namespace tidra

namespace tidra::duplicates {

class DuplicateSetSection;
class LazyColumn;

// The identical-files list: the search's progress, then the notices and either "No duplicates"
// or one section per set at or above the minimum size, the copy to keep first.
class IdenticalPane : public SetsPane {
public:
  IdenticalPane(DuplicatesModel& model, FileRevealer& revealer, QWidget* parent = nullptr);

  void refresh();
  // The section of a set already made, or null.
  DuplicateSetSection* section(const std::string& hash) const;
  LazyColumn* list() const { return column; }

private:
  DuplicatesModel& model;
  FileRevealer& revealer;
  EmptyState* empty;
  GlassCard* listCard;
  LazyColumn* column;
};

}  // namespace tidra::duplicates
