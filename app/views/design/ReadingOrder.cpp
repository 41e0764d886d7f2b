#include "views/design/ReadingOrder.h"

#include "views/design/GlassCard.h"

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

// The outermost card between `widget` and `scope`; none when it lies on no card.
QWidget* outermostCard(QWidget* widget, const QWidget* scope) {
  QWidget* found = nullptr;
  for (QWidget* above = widget->parentWidget(); above != nullptr && above != scope; above = above->parentWidget())
    if (dynamic_cast<GlassCard*>(above) != nullptr) found = above;
  return found;
}

}  // namespace

QList<QWidget*> of(QWidget* scope) {
  // A card reads as a whole: its controls come one after the other, in reading order inside it,
  // and the card takes its place among its neighbours by its own corner. So a card on the left
  // is read through before the card beside it, even where that one's button sits higher.
  struct Placed {
    QWidget* widget;
    QPoint corner;
    bool card;
  };
  std::vector<Placed> placed;
  std::vector<QWidget*> cards;
  for (QWidget* widget : scope->findChildren<QWidget*>()) {
    if (!reachable(widget, scope)) continue;
    QWidget* card = outermostCard(widget, scope);
    if (card == nullptr) placed.push_back({widget, widget->mapTo(scope, QPoint(0, 0)), false});
    else if (std::find(cards.begin(), cards.end(), card) == cards.end()) {
      cards.push_back(card);
      placed.push_back({card, card->mapTo(scope, QPoint(0, 0)), true});
    }
  }
  std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) { return a.corner.y() < b.corner.y(); });
  // Lines from the top; within a line, left to right.
  for (auto line = placed.begin(); line != placed.end();) {
    const int top = line->corner.y();
    const auto end = std::find_if(line, placed.end(), [top](const Placed& p) { return p.corner.y() > top + kLine; });
    std::stable_sort(line, end, [](const Placed& a, const Placed& b) { return a.corner.x() < b.corner.x(); });
    line = end;
  }
  QList<QWidget*> order;
  for (const Placed& p : placed) {
    if (p.card) order << of(p.widget);
    else order << p.widget;
  }
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
