#pragma once

#include <QWidget>

class QLabel;

namespace tidra {

class MeterBar;

// One app of the panel's "Using the most memory" list: its name and memory on a line, and a
// bar of its share of memory under them.
class MemoryUseRow : public QWidget {
public:
  explicit MemoryUseRow(QWidget* parent = nullptr);

  void setContent(const QString& name, const QString& memory, double share);

private:
  QLabel* nameLabel;
  QLabel* memoryLabel;
  MeterBar* bar;
};

}  // namespace tidra
