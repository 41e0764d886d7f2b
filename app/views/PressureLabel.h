#pragma once

#include "system/MemorySnapshot.h"
#include "views/design/Theme.h"

#include <QWidget>

namespace tidra {

class StyledLabel;

// The memory-pressure heading of the overview's and the Performance screen's memory cards: a
// 10-point dot in the pressure's colour and its sentence in semibold title-3. Read as the
// sentence alone.
class PressureLabel : public QWidget {
public:
  using Pressure = MemorySnapshot::Pressure;

  // "Memory pressure is normal", "Memory is under pressure", "Memory is critically low".
  static QString text(Pressure pressure);
  // Green, yellow, red.
  static Theme::Role color(Pressure pressure);

  explicit PressureLabel(Pressure pressure, QWidget* parent = nullptr);

  void setPressure(Pressure pressure);
  QString text() const;

private:
  class Dot;

  Dot* dot;
  StyledLabel* label;
};

}  // namespace tidra
