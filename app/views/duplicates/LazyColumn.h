#pragma once

#include "views/design/KeyedRowList.h"

#include <QScrollArea>

namespace tidra::duplicates {

// A scrolling column of keyed rows that makes its rows only as they come near the visible part:
// it starts with one batch and adds the next whenever the view is scrolled close to the end, so
// a list of thousands of sets costs the widgets of a screenful or two.
class LazyColumn : public QScrollArea {
public:
  LazyColumn(KeyedRowList::MakeRow makeRow, int spacing, QWidget* parent = nullptr);

  // The full list; rows already made stay, and as many rows are made as before (at least a batch).
  void setKeys(const QStringList& ids);
  // Only rows already made.
  QWidget* row(const QString& id) const { return rows->row(id); }
  QStringList madeKeys() const { return rows->keys(); }

  static constexpr int batch = 40;

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  void extendIfNearEnd();
  void showMade();

  KeyedRowList* rows;
  QStringList all;
  int made = 0;
};

}  // namespace tidra::duplicates
