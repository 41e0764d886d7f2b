#pragma once

#include "views/design/Theme.h"

#include <QWidget>

namespace tidra {
class Badge;
class StyledLabel;
}  // namespace tidra

namespace tidra::duplicates {

// The heading of a set: a title, a grey count badge beside it, and a figure at the trailing
// edge. A title too long for the row is cut in the middle, its whole text in the tooltip.
class SetHeader : public QWidget {
public:
  SetHeader(Theme::TextStyle figureStyle, QWidget* parent = nullptr);

  void display(const QString& title, const QString& badge, const QString& figure);

  StyledLabel* titleLabel() const { return title; }
  StyledLabel* figureLabel() const { return figure; }

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  void elideTitle();

  QString fullTitle;
  StyledLabel* title;
  QWidget* badgeSlot;
  Badge* badge = nullptr;
  StyledLabel* figure;
};

}  // namespace tidra::duplicates
