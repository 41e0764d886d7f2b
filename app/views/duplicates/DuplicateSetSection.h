#pragma once

#include "files/DuplicateGroup.h"

#include <QWidget>

namespace tidra {
class DuplicatesModel;
class FileRevealer;
class KeyedRowList;
}  // namespace tidra

namespace tidra::duplicates {

class DuplicateRow;
class SetHeader;

// One set of identical files in the list: a header naming the copy to keep, how many copies
// there are and the size of each, then one row per file, the one to keep first.
class DuplicateSetSection : public QWidget {
public:
  DuplicateSetSection(DuplicatesModel& model, FileRevealer& revealer, QWidget* parent = nullptr);

  void display(const DuplicateGroup& group);
  // Rereads ticks and pictures of the rows.
  void refreshRows();
  DuplicateRow* row(const std::string& path) const;

private:
  DuplicatesModel& model;
  FileRevealer& revealer;
  DuplicateGroup group;
  SetHeader* header;
  KeyedRowList* rows;
};

}  // namespace tidra::duplicates
