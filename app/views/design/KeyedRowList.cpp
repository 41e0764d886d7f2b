#include "views/design/KeyedRowList.h"

#include "views/design/Theme.h"

#include <QPainter>
#include <QSet>
#include <QVBoxLayout>

namespace tidra {

KeyedRowList::KeyedRowList(MakeRow makeRow, QWidget* parent)
    : QWidget(parent), makeRow(std::move(makeRow)), column(new QVBoxLayout(this)) {
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  // Rows keep their own height when the list is given more; the rest stays empty below.
  column->addStretch(1);
}

void KeyedRowList::setKeys(const QStringList& ids) {
  QStringList next;
  QSet<QString> seen;
  for (const QString& id : ids)
    if (!seen.contains(id)) {
      seen.insert(id);
      next.append(id);
    }
  for (auto it = rows.begin(); it != rows.end();) {
    if (seen.contains(it.key())) {
      ++it;
      continue;
    }
    column->removeWidget(it.value());
    // Later, not now: the refresh may run inside a handler of the very row going away.
    it.value()->hide();
    it.value()->deleteLater();
    it = rows.erase(it);
  }
  if (next == order) return;
  // Only rows out of place move: a row that stays where it was keeps its geometry and is not
  // repainted.
  for (int i = 0; i < next.size(); ++i) {
    QWidget* row = rows.value(next[i]);
    if (row == nullptr) rows.insert(next[i], row = makeRow(next[i]));
    if (column->indexOf(row) == i) continue;
    column->removeWidget(row);
    column->insertWidget(i, row);
    row->show();
  }
  order = next;
  update();
}

void KeyedRowList::setDividers(bool on, int inset) {
  dividers = on;
  dividerInset = inset;
  update();
}

void KeyedRowList::paintEvent(QPaintEvent*) {
  if (!dividers || order.size() < 2) return;
  QPainter painter(this);
  painter.setPen(QPen(Theme::color(Theme::Role::separator, this), 1));
  for (qsizetype i = 0; i + 1 < order.size(); ++i) {
    const qreal y = rows.value(order[i])->geometry().bottom() + 0.5;
    painter.drawLine(QPointF(dividerInset, y), QPointF(width(), y));
  }
}

}  // namespace tidra
