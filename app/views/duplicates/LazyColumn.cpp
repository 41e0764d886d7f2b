#include "views/duplicates/LazyColumn.h"

#include "views/design/ClearScroll.h"

#include <QScrollBar>
#include <QVBoxLayout>

namespace tidra::duplicates {

LazyColumn::LazyColumn(KeyedRowList::MakeRow makeRow, int spacing, QWidget* parent)
    : QScrollArea(parent), rows(new KeyedRowList(std::move(makeRow))) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  if (auto* column = qobject_cast<QVBoxLayout*>(rows->layout())) column->setSpacing(spacing);
  showThrough(this, rows);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { extendIfNearEnd(); });
  connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] { extendIfNearEnd(); });
}

void LazyColumn::setKeys(const QStringList& ids) {
  all = ids;
  made = std::min<int>(static_cast<int>(all.size()), std::max(made, batch));
  showMade();
}

void LazyColumn::showMade() {
  // Most refreshes change no key: leave the rows where they are.
  const QStringList keys = all.mid(0, made);
  if (keys != rows->keys()) rows->setKeys(keys);
}

void LazyColumn::resizeEvent(QResizeEvent* event) {
  QScrollArea::resizeEvent(event);
  extendIfNearEnd();
}

void LazyColumn::extendIfNearEnd() {
  if (made >= all.size()) return;
  const auto* bar = verticalScrollBar();
  // Within a screenful of the end, or everything made fits: make the next batch.
  if (bar->maximum() - bar->value() > viewport()->height()) return;
  made = std::min<int>(static_cast<int>(all.size()), made + batch);
  showMade();
}

}  // namespace tidra::duplicates
