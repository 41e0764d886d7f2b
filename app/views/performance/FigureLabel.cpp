#include "views/performance/FigureLabel.h"

namespace tidra::performance {

StyledLabel* figureLabel(const QString& text, Theme::TextStyle style, Theme::Role role, int weight) {
  auto* label = new StyledLabel(text, style, role, weight);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

}  // namespace tidra::performance
