#pragma once

#include "views/design/StyledLabel.h"

namespace tidra::performance {

// A figure of a column, flush with the column's trailing edge.
StyledLabel* figureLabel(const QString& text, Theme::TextStyle style, Theme::Role role, int weight = -1);

}  // namespace tidra::performance
