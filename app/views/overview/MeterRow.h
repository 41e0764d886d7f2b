#pragma once

#include "views/design/Theme.h"

#include <QWidget>

#include <vector>

namespace tidra {

class MeterBar;
class StyledLabel;

// A name and its figure on one callout line over a meter of its share: the overview's
// cleanup candidates and top apps. Read as one element.
class MeterRow : public QWidget {
public:
  MeterRow(std::vector<Theme::Tint> colors, QWidget* parent = nullptr);

  void show(const QString& name, const QString& value, double fraction);
  QString name() const;

private:
  StyledLabel* title;
  StyledLabel* figure;
  MeterBar* meter;
};

}  // namespace tidra
