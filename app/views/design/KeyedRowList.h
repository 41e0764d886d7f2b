#pragma once

#include <QHash>
#include <QStringList>
#include <QWidget>

#include <functional>

class QVBoxLayout;

namespace tidra {

// A column of rows keyed by id. Refreshing with a new list of ids keeps the very widget of
// every id still present, so its ticks, selection, open disclosure and focus survive; rows of
// new ids are made, rows of vanished ids deleted, and all put in the new order, moving only the
// rows out of place. The caller updates the rows' contents through `row(id)`.
class KeyedRowList : public QWidget {
public:
  using MakeRow = std::function<QWidget*(const QString& id)>;

  explicit KeyedRowList(MakeRow makeRow, QWidget* parent = nullptr);

  // A repeated id counts once, at its first place.
  void setKeys(const QStringList& ids);
  QStringList keys() const { return order; }
  // The row of `id`, or null.
  QWidget* row(const QString& id) const { return rows.value(id); }

  // Hairlines between rows, starting `inset` points from the leading edge.
  void setDividers(bool on, int inset = 0);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  MakeRow makeRow;
  QVBoxLayout* column;
  QHash<QString, QWidget*> rows;
  QStringList order;
  bool dividers = false;
  int dividerInset = 0;
};

}  // namespace tidra
