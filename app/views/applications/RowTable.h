#pragma once

#include <QStringList>
#include <QTreeWidget>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

class QMenu;

namespace tidra {

// A flat table whose rows are keyed by path, shared by the Applications and Large Files screens.
// The selection belongs to the caller: the table shows the set it is given and reports what the
// person changes. Refilling keeps the scroll position.
class RowTable : public QTreeWidget {
public:
  using Ids = std::set<std::string>;
  using FillRow = std::function<void(QTreeWidgetItem& item, const std::string& id)>;

  RowTable(const QStringList& headers, QWidget* parent = nullptr);

  void setRows(const std::vector<std::string>& ids, const FillRow& fill);
  // Shows `ids` as selected without reporting it back.
  void showSelection(const Ids& ids);
  Ids selectedIds() const;
  std::string idOf(const QTreeWidgetItem& item) const;
  // The width `column` needs to show its title and its rows' texts whole.
  int columnNeeds(int column) const;

  // The rows a context menu opened on `clicked` acts on: the selection when the row is in it,
  // else that row alone, and nothing when it was opened over no row.
  static Ids menuRows(const std::optional<std::string>& clicked, const Ids& selection);

  // The person changed the selection.
  std::function<void(const Ids&)> onSelectionEdited;
  // Builds the context menu for these rows; the table shows it.
  std::function<QMenu*(const Ids&)> makeMenu;
  // Double-click or Return on rows.
  std::function<void(const Ids&)> onActivated;

protected:
  // Rings the current row while the keyboard has put the focus on the table, so a table Tab
  // reaches shows where it stands even with nothing selected.
  void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  // A right click only opens the menu: the selection stays as it was, for the menu to act on the
  // selected rows or on the clicked row alone.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  // The style sheet pinned the palette the table had when it was set; a new appearance's text
  // colours are taken over by hand, so rows do not stay dark on dark.
  void changeEvent(QEvent* event) override;

private:
  void openMenu(const QPoint& position);
  // The texts of cell widgets take the selection's text colour on selected rows.
  void highlightSelectedCells();

  bool filling = false;
};

}  // namespace tidra
