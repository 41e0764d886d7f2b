#include "views/overview/MeterRow.h"

#include "views/design/ElidedLabel.h"
#include "views/design/MeterBar.h"
#include "views/design/StyledLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tidra {

MeterRow::MeterRow(std::vector<Theme::Tint> colors, QWidget* parent)
    : QWidget(parent), title(new ElidedLabel({}, Theme::TextStyle::callout, Theme::Role::label, Qt::ElideRight, -1, this)),
      figure(new StyledLabel({}, Theme::TextStyle::callout, Theme::Role::secondaryLabel, -1, this)),
      meter(new MeterBar(0, std::move(colors), this)) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(3);
  auto* line = new QHBoxLayout;
  line->addWidget(title, 1);
  line->addWidget(figure);
  column->addLayout(line);
  meter->setFixedHeight(MeterBar::kHeight);
  column->addWidget(meter);
}

void MeterRow::show(const QString& name, const QString& value, double fraction) {
  title->setText(name);
  figure->setText(value);
  meter->setFraction(fraction);
  setAccessibleName(name + QStringLiteral(", ") + value);
}

QString MeterRow::name() const { return title->text(); }

}  // namespace tidra
