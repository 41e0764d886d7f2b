#pragma once

#include "performance/ProcessGroup.h"

#include <QIcon>
#include <QWidget>

#include <functional>

class QLabel;

namespace tidra {
class Button;
class MeterBar;
class StyledLabel;
}  // namespace tidra

namespace tidra::performance {

// One process group: icon, name and process count, memory with its bar scaled to the largest
// group, CPU, and "Quit…" unless the group is ours or the system's. Shown again with new
// figures, it changes only the parts whose text or picture changed.
class ProcessRow : public QWidget {
public:
  static constexpr int memoryWidth = 120;
  static constexpr int cpuWidth = 64;
  static constexpr int quitWidth = 76;

  ProcessRow(std::function<void(const ProcessGroup&)> quit, QWidget* parent = nullptr);

  void show(const ProcessGroup& group, double largest, bool canQuit, const QIcon& icon);
  const ProcessGroup& group() const { return shown; }

protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  void drawIcon();

  std::function<void(const ProcessGroup&)> quit;
  ProcessGroup shown;
  bool quittable = false;
  QIcon picture;
  bool drawnIcon = false;
  QLabel* icon;
  StyledLabel* name;
  StyledLabel* caption;
  StyledLabel* memory;
  MeterBar* meter;
  StyledLabel* cpu;
  Button* quitButton;
};

}  // namespace tidra::performance
