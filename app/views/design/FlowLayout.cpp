#include "views/design/FlowLayout.h"

#include <QWidget>

#include <algorithm>

namespace tidra {

FlowLayout::FlowLayout(int horizontalSpacing, int verticalSpacing, QWidget* parent)
    : QLayout(parent), across(horizontalSpacing), down(verticalSpacing) {
  setContentsMargins(0, 0, 0, 0);
}

FlowLayout::~FlowLayout() { qDeleteAll(items); }

void FlowLayout::addItem(QLayoutItem* item) { items.append(item); }

QLayoutItem* FlowLayout::takeAt(int index) {
  if (index < 0 || index >= items.size()) return nullptr;
  return items.takeAt(index);
}

int FlowLayout::heightForWidth(int width) const { return arrange(QRect(0, 0, width, 0), false); }

QSize FlowLayout::sizeHint() const {
  QSize size(0, 0);
  int shown = 0;
  for (const QLayoutItem* item : items) {
    if (item->isEmpty()) continue;
    const QSize hint = item->sizeHint();
    size.rwidth() += hint.width() + (shown++ > 0 ? across : 0);
    size.setHeight(std::max(size.height(), hint.height()));
  }
  return size.grownBy(contentsMargins());
}

QSize FlowLayout::minimumSize() const {
  QSize size(0, 0);
  for (const QLayoutItem* item : items)
    if (!item->isEmpty()) size = size.expandedTo(item->minimumSize());
  return size.grownBy(contentsMargins());
}

void FlowLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  arrange(rect, true);
}

int FlowLayout::arrange(const QRect& rect, bool place) const {
  const QRect area = rect.marginsRemoved(contentsMargins());
  // One line at a time: gather what fits, then place it centred on the line's height.
  int top = area.top();
  auto next = items.cbegin();
  while (next != items.cend()) {
    std::vector<std::pair<QLayoutItem*, QSize>> line;
    int used = 0;
    for (; next != items.cend(); ++next) {
      if ((*next)->isEmpty()) continue;
      QSize hint = (*next)->sizeHint();
      hint.setWidth(std::min(hint.width(), area.width()));
      const int wanted = used + (line.empty() ? 0 : across) + hint.width();
      if (!line.empty() && wanted > area.width()) break;
      used = wanted;
      line.emplace_back(*next, hint);
    }
    if (line.empty()) break;
    int height = 0;
    for (const auto& [item, hint] : line) {
      const int tall = item->hasHeightForWidth() ? item->heightForWidth(hint.width()) : hint.height();
      height = std::max(height, tall);
    }
    int left = area.left();
    for (const auto& [item, hint] : line) {
      const int tall = item->hasHeightForWidth() ? item->heightForWidth(hint.width()) : hint.height();
      if (place) item->setGeometry(QRect(left, top + (height - tall) / 2, hint.width(), tall));
      left += hint.width() + across;
    }
    top += height + down;
  }
  const int bottom = top == area.top() ? top : top - down;
  return bottom - rect.top() + contentsMargins().bottom();
}

}  // namespace tidra
