#pragma once

#include "views/design/Theme.h"

#include <QWidget>

#include <vector>

namespace tidra {

class ElidedLabel;
class MeterBar;
class StyledLabel;

// A name and its figure on one callout line over a meter of its share: the overview's
// cleanup candidates and top apps. A name longer than its room ends in an ellipsis; the figure
// is always whole. Read as one element.
class MeterRow : public QWidget {
public:
  MeterRow(std::vector<Theme::Tint> colors, QWidget* parent = nullptr);

  void show(const QString& name, const QString& value, double fraction);
  QString name() const;

private:
  ElidedLabel* title;
  StyledLabel* figure;
  MeterBar* meter;
};

}  // namespace tidra
