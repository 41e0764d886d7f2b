#include "views/design/CardHeader.h"

#include "views/design/IconChip.h"
#include "views/design/Theme.h"

#include <QHBoxLayout>
#include <QLabel>

namespace tidra {

CardHeader::CardHeader(const QString& title, const QString& symbol, Theme::Tint tint, QWidget* parent)
    : QWidget(parent), chip(new IconChip(symbol, tint, 24, this)), label(new QLabel(title, this)) {
  label->setFont(Theme::font(Theme::TextStyle::headline));
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(9);
  row->addWidget(chip, 0, Qt::AlignVCenter);
  row->addWidget(label, 1, Qt::AlignVCenter);
  setAccessibleName(title);
}

}  // namespace tidra
