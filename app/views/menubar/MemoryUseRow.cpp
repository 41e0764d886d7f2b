#include "views/menubar/MemoryUseRow.h"

#include "views/design/MeterBar.h"
#include "views/design/StyledLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tidra {

MemoryUseRow::MemoryUseRow(QWidget* parent) : QWidget(parent) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(3);
  auto* line = new QHBoxLayout;
  nameLabel = new StyledLabel(QString(), Theme::TextStyle::body, Theme::Role::label, -1, this);
  nameLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  memoryLabel = new StyledLabel(QString(), Theme::TextStyle::body, Theme::Role::secondaryLabel, -1, this);
  line->addWidget(nameLabel, 1);
  line->addWidget(memoryLabel);
  column->addLayout(line);
  bar = new MeterBar(0, {Theme::Role::orange, QColor(255, 45, 85)}, this);
  column->addWidget(bar);
}

void MemoryUseRow::setContent(const QString& name, const QString& memory, double share) {
  nameLabel->setText(name);
  memoryLabel->setText(memory);
  bar->setFraction(share);
  setAccessibleName(name + QStringLiteral(", ") + memory);
}

}  // namespace tidra
