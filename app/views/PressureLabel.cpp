#include "views/PressureLabel.h"

#include "views/design/StyledLabel.h"

#include <QHBoxLayout>
#include <QPainter>

#include <utility>

namespace tidra {

class PressureLabel::Dot : public QWidget {
public:
  explicit Dot(QWidget* parent) : QWidget(parent) { setFixedSize(10, 10); }
  void setRole(Theme::Role shown) {
    if (std::exchange(role, shown) != shown) update();
  }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::color(role, this));
    painter.drawEllipse(rect());
  }

private:
  Theme::Role role = Theme::Role::green;
};

QString PressureLabel::text(Pressure pressure) {
  switch (pressure) {
  case Pressure::warning: return QStringLiteral("Memory is under pressure");
  case Pressure::critical: return QStringLiteral("Memory is critically low");
  case Pressure::normal: break;
  }
  return QStringLiteral("Memory pressure is normal");
}

Theme::Role PressureLabel::color(Pressure pressure) {
  switch (pressure) {
  case Pressure::warning: return Theme::Role::yellow;
  case Pressure::critical: return Theme::Role::red;
  case Pressure::normal: break;
  }
  return Theme::Role::green;
}

PressureLabel::PressureLabel(Pressure pressure, QWidget* parent)
    : QWidget(parent), dot(new Dot(this)),
      label(new StyledLabel({}, Theme::TextStyle::title3, Theme::Role::label, QFont::DemiBold, this)) {
  setObjectName(QStringLiteral("pressureLabel"));
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(8);
  row->addWidget(dot, 0, Qt::AlignVCenter);
  row->addWidget(label, 0, Qt::AlignVCenter);
  row->addStretch(1);
  setPressure(pressure);
}

void PressureLabel::setPressure(Pressure pressure) {
  dot->setRole(color(pressure));
  label->setText(text(pressure));
  setAccessibleName(text(pressure));
}

QString PressureLabel::text() const { return label->text(); }

}  // namespace tidra
