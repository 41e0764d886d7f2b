#include "views/performance/MemoryCard.h"

#include "models/AppModel.h"
#include "views/Formats.h"
#include "views/PressureLabel.h"
#include "views/design/Brand.h"
#include "views/design/Button.h"
#include "views/design/FlowLayout.h"
#include "views/design/LegendItem.h"
#include "views/design/SegmentedBar.h"
#include "views/design/Spinner.h"
#include "views/design/StyledLabel.h"
#include "views/performance/PerformanceTexts.h"

#include <QHBoxLayout>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace tidra::performance {

namespace T = PerformanceTexts;
using Role = Theme::Role;

namespace {

std::vector<SegmentedBar::Segment> segments(const MemorySnapshot& memory) {
  const auto shares = T::barShares(memory);
  return {{QStringLiteral("app"), shares.app, Brand::blue()},
          {QStringLiteral("wired"), shares.wired, Brand::violet()},
          {QStringLiteral("compressed"), shares.compressed, Role::orange},
          {QStringLiteral("cached"), shares.cached, Role::gray}};
}

}  // namespace

MemoryCard::MemoryCard(AppModel& model, QWidget* parent) : GlassCard(20, parent), model(model) {
  setObjectName(QStringLiteral("memoryCard"));
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(18, 18, 18, 18);
  pages = new QStackedLayout;
  outer->addLayout(pages);
  auto* waiting = new QWidget;
  auto* waitingRow = new QHBoxLayout(waiting);
  waitingRow->setContentsMargins(0, 0, 0, 0);
  auto* spinner = new Spinner(Spinner::Size::small);
  spinner->setObjectName(QStringLiteral("memorySpinner"));
  waitingRow->addWidget(spinner);
  waitingRow->addStretch(1);
  pages->addWidget(waiting);
  pages->addWidget(makeReading());
  refresh();
}

QString MemoryCard::advice(const MemorySnapshot& memory) { return T::advice(memory); }

QWidget* MemoryCard::makeReading() {
  auto* reading = new QWidget;
  reading->setObjectName(QStringLiteral("memoryReading"));
  auto* column = new QVBoxLayout(reading);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(12);

  auto* top = new QHBoxLayout;
  top->setSpacing(12);
  // Pressure and figures share a line while there is room; in a narrow window the figures go
  // under the pressure, so the button beside them keeps its whole title.
  auto* heading = new QWidget;
  auto* headingFlow = new FlowLayout(12, 4, heading);
  pressure = new PressureLabel(MemorySnapshot::Pressure::normal);
  pressure->setObjectName(QStringLiteral("pressure"));
  headline = new StyledLabel({}, Theme::TextStyle::body, Role::secondaryLabel);
  headline->setObjectName(QStringLiteral("memoryHeadline"));
  auto* diagnose = new Button(Button::Look::primary, T::diagnosisTitle());
  diagnose->setObjectName(QStringLiteral("diagnose"));
  diagnose->setSymbol(QStringLiteral("stethoscope"));
  connect(diagnose, &QPushButton::clicked, this, [this] { this->model.diagnosis().setPresented(true); });
  headingFlow->addWidget(pressure);
  headingFlow->addWidget(headline);
  top->addWidget(heading, 1);
  top->addWidget(diagnose);
  column->addLayout(top);

  bar = new SegmentedBar({}, {});
  bar->setObjectName(QStringLiteral("memoryBar"));
  column->addWidget(bar);

  // In a narrow window the legend takes a second line rather than cutting its labels.
  auto* legendRow = new FlowLayout(18, 6);
  const std::vector<std::pair<std::optional<Theme::Tint>, QString>> entries{
      {Brand::blue(), QStringLiteral("Apps")},
      {Brand::violet(), QStringLiteral("System")},
      {Role::orange, QStringLiteral("Compressed")},
      {Role::gray, T::fileCacheLabel()},
      {std::nullopt, QStringLiteral("Swap")}};
  for (const auto& [color, label] : entries) {
    legend.push_back(new LegendItem(color, label, {}));
    legendRow->addWidget(legend.back());
  }
  column->addLayout(legendRow);

  adviceText = new StyledLabel({}, Theme::TextStyle::callout, Role::secondaryLabel);
  adviceText->setObjectName(QStringLiteral("memoryAdvice"));
  adviceText->setWordWrap(true);
  column->addWidget(adviceText);
  return reading;
}

void MemoryCard::refresh() {
  const auto& memory = model.memory();
  pages->setCurrentIndex(memory ? 1 : 0);
  if (!memory) return;
  pressure->setPressure(memory->pressure);
  headline->setText(T::usedOfTotal(*memory));
  bar->setSegments(segments(*memory), T::barAccessibility(*memory));
  const std::int64_t values[] = {memory->app, memory->wired, memory->compressed, memory->cached, memory->swapUsed};
  for (std::size_t i = 0; i < legend.size(); ++i) legend[i]->setValue(Formats::memory(values[i]));
  adviceText->setText(advice(*memory));
}

}  // namespace tidra::performance
