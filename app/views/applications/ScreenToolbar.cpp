#include "views/applications/ScreenToolbar.h"

#include "views/design/StyledLabel.h"

#include <QHBoxLayout>

namespace tidra {

ScreenToolbar::ScreenToolbar(const QString& title, QWidget* parent) : QWidget(parent), controls(new QHBoxLayout(this)) {
  controls->setContentsMargins(20, 12, 16, 0);
  controls->addWidget(new StyledLabel(title, Theme::TextStyle::title2, Theme::Role::label, QFont::Bold));
  controls->addStretch(1);
}

}  // namespace tidra
