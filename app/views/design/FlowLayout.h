#pragma once

#include <QLayout>
#include <QList>

namespace tidra {

// Lays its items out left to right at their preferred widths, and starts a new line where the
// next one would not fit: a legend or a sentence with a link that stays whole in a narrow window
// instead of being cut. Items in a line are centred on it; an item wider than the whole line
// gets the line's width.
class FlowLayout : public QLayout {
public:
  FlowLayout(int horizontalSpacing, int verticalSpacing, QWidget* parent = nullptr);
  ~FlowLayout() override;

  void addItem(QLayoutItem* item) override;
  int count() const override { return static_cast<int>(items.size()); }
  QLayoutItem* itemAt(int index) const override { return items.value(index); }
  QLayoutItem* takeAt(int index) override;

  Qt::Orientations expandingDirections() const override { return {}; }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  // All on one line.
  QSize sizeHint() const override;
  // The widest single item.
  QSize minimumSize() const override;
  void setGeometry(const QRect& rect) override;

private:
  // Places the items in `rect` (only measures when `place` is false); the height used.
  int arrange(const QRect& rect, bool place) const;

  QList<QLayoutItem*> items;
  int across;
  int down;
};

}  // namespace tidra
