#pragma once

#include "views/design/Theme.h"

#include <QColor>
#include <QString>
#include <QWidget>

#include <optional>

namespace tidra {

class StyledLabel;

// A coloured dot, a label and its figure in one row, for the legends under bars and rings.
// Without a colour the dot is neutral. Read as the label and the value together.
class LegendItem : public QWidget {
public:
  LegendItem(std::optional<Theme::Tint> color, const QString& label, const QString& value, QWidget* parent = nullptr);

  void setValue(const QString& value);

private:
  QString label;
  StyledLabel* valueText;
};

}  // namespace tidra
