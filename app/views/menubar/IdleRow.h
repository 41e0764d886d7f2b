#pragma once

#include "performance/DeveloperTool.h"

#include <QWidget>

#include <functional>
#include <vector>

class QLabel;

namespace tidra {

class Button;
class IconChip;

// One line of the menu-bar panel about idle developer tools: a chip, what sits idle, the
// memory it holds and "Stop". Shows what it is given; the panel decides when it goes.
class IdleRow : public QWidget {
public:
  explicit IdleRow(QWidget* parent = nullptr);

  // `stop` runs once per press of "Stop".
  void setContent(const QString& symbol, const QString& title, const std::vector<DeveloperTool>& tools,
                  std::function<void()> stop);

private:
  IconChip* chip;
  QLabel* titleLabel;
  QLabel* holdingLabel;
  Button* stopButton;
  std::function<void()> stop;
};

}  // namespace tidra
