#include "views/design/Divider.h"

#include "views/design/Theme.h"

#include <QPainter>

namespace tidra {

Divider::Divider(QWidget* parent) : QWidget(parent) {
  setFixedHeight(1);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void Divider::paintEvent(QPaintEvent*) {
  QPainter(this).fillRect(rect(), Theme::color(Theme::Role::separator, this));
}

}  // namespace tidra
