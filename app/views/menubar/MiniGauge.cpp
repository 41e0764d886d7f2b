#include "views/menubar/MiniGauge.h"

#include "views/design/GlassCard.h"
#include "views/design/RingGauge.h"
#include "views/design/StyledLabel.h"
#include "views/design/SymbolView.h"

#include <QFontMetricsF>
#include <QGridLayout>
#include <QVBoxLayout>

namespace tidra {

namespace {
constexpr int kMiniRing = 44;
constexpr double kShrinkLimit = 0.85;

// Shrinks the label's font down to the limit to fit `width`, then cuts what still does not.
void fit(QLabel* label, const QString& text, const QFont& base, int width) {
  QFont font = base;
  const qreal natural = QFontMetricsF(base).horizontalAdvance(text);
  if (natural > width && natural > 0) font.setPixelSize(int(base.pixelSize() * std::max(kShrinkLimit, width / natural)));
  label->setFont(font);
  label->setText(QFontMetricsF(font).elidedText(text, Qt::ElideRight, width));
}
}  // namespace

MiniGauge::MiniGauge(QWidget* parent) : QWidget(parent) {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  auto* card = new GlassCard(14, this);
  outer->addWidget(card);
  auto* column = new QVBoxLayout(card);
  column->setContentsMargins(8, 12, 8, 12);
  column->setSpacing(8);

  ring = new RingGauge(5, card);
  ring->setFixedSize(kMiniRing, kMiniRing);
  auto* centre = new QGridLayout(ring);
  centre->setContentsMargins(0, 0, 0, 0);
  symbol = new SymbolView(QString(), Theme::Role::secondaryLabel, 18, ring);
  centre->addWidget(symbol, 0, 0, Qt::AlignCenter);
  column->addWidget(ring, 0, Qt::AlignHCenter);

  auto* texts = new QVBoxLayout;
  texts->setSpacing(1);
  titleLabel = new StyledLabel(QString(), Theme::TextStyle::callout, Theme::Role::label, QFont::DemiBold, card);
  valueLabel = new StyledLabel(QString(), Theme::TextStyle::caption, Theme::Role::secondaryLabel, -1, card);
  for (QLabel* label : {titleLabel, valueLabel}) {
    label->setAlignment(Qt::AlignHCenter);
    label->setMinimumWidth(0);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    texts->addWidget(label);
  }
  column->addLayout(texts);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setAccessibleName(QStringLiteral("gauge"));
}

void MiniGauge::setGauge(const MenuBarTexts::Gauge& gauge) {
  titleText = gauge.title;
  valueText = gauge.value;
  ring->setParts({{QStringLiteral("used"), gauge.fraction, gauge.colors}});
  symbol->setSymbol(gauge.symbol);
  setAccessibleName(gauge.title + QStringLiteral(", ") + gauge.value);
  fitTexts();
}

double MiniGauge::fraction() const { return ring->parts().empty() ? 0 : ring->parts().front().fraction; }

void MiniGauge::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  fitTexts();
}

void MiniGauge::fitTexts() {
  const int width = std::max(1, titleLabel->width());
  fit(titleLabel, titleText, Theme::font(Theme::TextStyle::callout, QFont::DemiBold), width);
  fit(valueLabel, valueText, Theme::font(Theme::TextStyle::caption), width);
}

}  // namespace tidra
