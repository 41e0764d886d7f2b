#pragma once

#include <QStringList>
#include <QWidget>

namespace tidra {

// A row of mutually exclusive choices on one track, the chosen one raised (the performance
// tabs, the threshold pickers). Arrow keys move the choice.
class SegmentedControl : public QWidget {
  Q_OBJECT
public:
  explicit SegmentedControl(const QStringList& titles, QWidget* parent = nullptr);

  int currentIndex() const { return current; }
  // Out-of-range indexes are ignored; choosing the current one again emits nothing.
  void setCurrentIndex(int index);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

signals:
  void currentChanged(int index);

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  QRectF segmentRect(int index) const;

  QStringList titles;
  int current = 0;
};

}  // namespace tidra
