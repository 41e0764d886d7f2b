#pragma once

#include "cleanup/CleanupCategory.h"

#include <QWidget>

namespace tidra {

class AppModel;
class Button;
class IconChip;
class KeyedRowList;
class StyledLabel;

// One category of the cleanup list: its header (symbol, title, "Select All" / "Deselect All"
// over the items that need no administrator, the category's total) over its rows, keyed by
// item id so ticks and focus survive refreshes.
class CategorySection : public QWidget {
public:
  CategorySection(AppModel& model, CleanupCategory category, QWidget* parent = nullptr);

  void refresh();

  Button* selectAllButton() const { return selectAll; }
  KeyedRowList* rows() const { return list; }

private:
  AppModel& model;
  CleanupCategory category;
  Button* selectAll;
  StyledLabel* total;
  KeyedRowList* list;
};

}  // namespace tidra
