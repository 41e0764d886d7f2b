#pragma once

#include <QWidget>

namespace tidra {

// A hairline across its width in the theme's separator colour, as between a panel's body and
// its footer; it follows a change of appearance.
class Divider : public QWidget {
public:
  explicit Divider(QWidget* parent = nullptr);

  QSize sizeHint() const override { return {0, 1}; }

protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tidra
