#include "views/design/LegendItem.h"

#include "views/design/StyledLabel.h"

#include <QHBoxLayout>
#include <QPainter>

namespace tidra {

namespace {

class Dot : public QWidget {
public:
  Dot(std::optional<Theme::Tint> color, QWidget* parent) : QWidget(parent), color(color) { setFixedSize(8, 8); }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color.value_or(Theme::Role::quaternaryLabel).resolve(this));
    painter.drawEllipse(QRectF(rect()));
  }

private:
  std::optional<Theme::Tint> color;
};

}  // namespace

LegendItem::LegendItem(std::optional<Theme::Tint> color, const QString& label, const QString& value, QWidget* parent)
    : QWidget(parent), label(label),
      valueText(new StyledLabel(value, Theme::TextStyle::callout, Theme::Role::label, -1, this)) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(6);
  row->addWidget(new Dot(color, this), 0, Qt::AlignVCenter);
  row->addWidget(new StyledLabel(label, Theme::TextStyle::callout, Theme::Role::secondaryLabel, -1, this), 0,
                 Qt::AlignVCenter);
  row->addWidget(valueText, 0, Qt::AlignVCenter);
  setAccessibleName(label + QStringLiteral(", ") + value);
}

void LegendItem::setValue(const QString& value) {
  valueText->setText(value);
  setAccessibleName(label + QStringLiteral(", ") + value);
}

}  // namespace tidra
