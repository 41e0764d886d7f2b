#pragma once

#include "views/design/Theme.h"

#include <QColor>
#include <QString>
#include <QWidget>

class QLabel;

namespace tidra {

class IconChip;

// The heading row of an overview card: a 24-point icon chip and the title in the headline
// style, 9 points apart. Read by assistive technologies as its title alone.
class CardHeader : public QWidget {
public:
  CardHeader(const QString& title, const QString& symbol, Theme::Tint tint, QWidget* parent = nullptr);

private:
  IconChip* chip;
  QLabel* label;
};

}  // namespace tidra
