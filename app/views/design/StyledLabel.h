#pragma once

#include "views/design/Theme.h"

#include <QLabel>

namespace tidra {

// A text in one of the text styles and label colours that keeps its colour right when the
// appearance changes (a plain palette colour would stay the old appearance's).
class StyledLabel : public QLabel {
public:
  StyledLabel(const QString& text, Theme::TextStyle style, Theme::Role role = Theme::Role::label,
              int weight = -1, QWidget* parent = nullptr);

  void setRole(Theme::Role role);
  // On a selected row: the selection's text colour instead of the role, so the text
  // stays readable on the selection's fill in light and dark.
  void setHighlighted(bool highlighted);

protected:
  void changeEvent(QEvent* event) override;

private:
  void applyColor();

  Theme::Role role;
  bool highlighted = false;
};

}  // namespace tidra
