#pragma once

#include <QString>
#include <QWidget>

class QHBoxLayout;

namespace tidra {

// The row at the top of a screen: its title, then the screen's own controls at the trailing end.
class ScreenToolbar : public QWidget {
public:
  explicit ScreenToolbar(const QString& title, QWidget* parent = nullptr);

  // Add the pickers and buttons here, in order.
  QHBoxLayout* row() const { return controls; }

private:
  QHBoxLayout* controls;
};

}  // namespace tidra
