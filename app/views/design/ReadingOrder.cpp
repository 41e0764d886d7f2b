#include "views/design/ReadingOrder.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>

namespace tidra::ReadingOrder {

namespace {

// Widgets whose tops lie this close in height read as one line.
constexpr int kLine = 10;

bool reachable(const QWidget* widget, const QWidget* scope) {
  return !widget->isWindow() && widget->isVisibleTo(scope) && widget->isEnabled() &&
         (widget->focusPolicy() & Qt::TabFocus) && widget->focusProxy() == nullptr;
}

}  // namespace

QList<QWidget*> of(QWidget* scope) {
  struct Placed {
    QWidget* widget;
    QPoint corner;
  };
  std::vector<Placed> placed;
  for (QWidget* widget : scope->findChildren<QWidget*>())
    if (reachable(widget, scope)) placed.push_back({widget, widget->mapTo(scope, QPoint(0, 0))});
  std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) { return a.corner.y() < b.corner.y(); });
  // Lines from the top; within a line, left to right.
  for (auto line = placed.begin(); line != placed.end();) {
    const int top = line->corner.y();
    const auto end = std::find_if(line, placed.end(), [top](const Placed& p) { return p.corner.y() > top + kLine; });
    std::stable_sort(line, end, [](const Placed& a, const Placed& b) { return a.corner.x() < b.corner.x(); });
    line = end;
  }
  QList<QWidget*> order;
  for (const Placed& p : placed) order << p.widget;
  return order;
}

bool moveFocus(QWidget* scope, bool forward) {
  const QList<QWidget*> order = of(scope);
  if (order.isEmpty()) return false;
  QWidget* focused = QApplication::focusWidget();
  // The focus may sit inside a reachable widget (a list's viewport): count it as that widget.
  qsizetype at = order.indexOf(focused);
  for (qsizetype i = 0; i < order.size() && at < 0; ++i)
    if (focused != nullptr && order[i]->isAncestorOf(focused)) at = i;
  const qsizetype count = order.size();
  const qsizetype next = at < 0 ? (forward ? 0 : count - 1) : (at + (forward ? 1 : count - 1)) % count;
  order[next]->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
  return true;
}

}  // namespace tidra::ReadingOrder
