#pragma once

#include <QWidget>

class QHBoxLayout;

namespace tidra {

// The floating bar at the foot of a screen that holds its summary and action buttons: a glass
// card of radius 16, 16 points in from the sides, 12 above the bottom and 4 below what stands
// above it; the content sits in a row 12 points apart, 16 in from the card's sides and 10 from
// its top and bottom.
class ActionBar : public QWidget {
public:
  explicit ActionBar(QWidget* parent = nullptr);

  // Add the bar's texts, stretches and buttons here.
  QHBoxLayout* row() const { return content; }

private:
  QHBoxLayout* content;
};

}  // namespace tidra
