#include "views/design/ActionBar.h"

#include "views/design/GlassCard.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tidra {

ActionBar::ActionBar(QWidget* parent) : QWidget(parent) {
  auto* card = new GlassCard(16, this);
  content = new QHBoxLayout(card);
  content->setContentsMargins(16, 10, 16, 10);
  content->setSpacing(12);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(16, 4, 16, 12);
  outer->addWidget(card);
}

}  // namespace tidra
