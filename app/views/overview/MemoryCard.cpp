#include "views/overview/MemoryCard.h"

#include "models/AppModel.h"
#include "views/Formats.h"
#include "views/RowKeys.h"
#include "views/PressureLabel.h"
#include "views/design/Button.h"
#include "views/design/CardHeader.h"
#include "views/design/KeyedRowList.h"
#include "views/design/Spinner.h"
#include "views/design/StyledLabel.h"
#include "views/overview/MeterRow.h"
#include "views/overview/OverviewTexts.h"

#include <QVBoxLayout>

#include <algorithm>

namespace tidra {

namespace {

// The system's pink, which the theme has no role for.
const QColor pink(255, 45, 85);

}  // namespace

MemoryCard::MemoryCard(AppModel& model, std::function<void()> diagnose, QWidget* parent)
    : GlassCard(20, parent), model(model), diagnose(std::move(diagnose)) {
  setObjectName(QStringLiteral("memoryCard"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(18, 18, 18, 18);
  column->setSpacing(10);
  column->addWidget(new CardHeader(QStringLiteral("Memory"), QStringLiteral("memorychip"), Theme::Role::orange, this));
  waiting = new Spinner(Spinner::Size::small, this);
  waiting->setObjectName(QStringLiteral("memoryWaiting"));
  column->addWidget(waiting, 0, Qt::AlignLeft);

  reading = new QWidget(this);
  auto* figures = new QVBoxLayout(reading);
  figures->setContentsMargins(0, 0, 0, 0);
  figures->setSpacing(10);
  pressure = new PressureLabel(MemorySnapshot::Pressure::normal, reading);
  figures->addWidget(pressure);
  inUse = new StyledLabel({}, Theme::TextStyle::body, Theme::Role::secondaryLabel, -1, reading);
  inUse->setObjectName(QStringLiteral("memoryInUse"));
  figures->addWidget(inUse);
  apps = new KeyedRowList([](const QString&) { return new MeterRow({Theme::Role::orange, pink}); }, reading);
  apps->setObjectName(QStringLiteral("topApps"));
  static_cast<QVBoxLayout*>(apps->layout())->setSpacing(7);
  figures->addWidget(apps);
  toolsLink = new Button(Button::Look::link, {}, reading);
  toolsLink->setObjectName(QStringLiteral("developerToolsLink"));
  toolsLink->setFont(Theme::font(Theme::TextStyle::callout));
  connect(toolsLink, &QPushButton::clicked, this, [this] {
    this->model.setPerformanceTab(AppModel::PerformanceTab::developerTools);
    this->model.setSection(Section::performance);
  });
  figures->addWidget(toolsLink, 0, Qt::AlignLeft);
  column->addWidget(reading);
  column->addStretch(1);
  makeButtons(column);
}

void MemoryCard::makeButtons(QBoxLayout* column) {
  buttons = new QBoxLayout(QBoxLayout::LeftToRight);
  buttons->setSpacing(10);
  why = new Button(Button::Look::primary, QStringLiteral("Why Is My Computer Slow?"), this);
  why->setObjectName(QStringLiteral("whyIsItSlow"));
  connect(why, &QPushButton::clicked, this, [this] { this->diagnose(); });
  whatsUsing = new Button(Button::Look::secondary, QStringLiteral("What's Using Memory"), this);
  whatsUsing->setObjectName(QStringLiteral("whatsUsingMemory"));
  connect(whatsUsing, &QPushButton::clicked, this, [this] { this->model.setSection(Section::performance); });
  buttons->addWidget(why, 0, Qt::AlignLeft);
  buttons->addWidget(whatsUsing, 0, Qt::AlignLeft);
  buttons->addStretch(1);
  column->addLayout(buttons);
}

void MemoryCard::resizeEvent(QResizeEvent* event) {
  GlassCard::resizeEvent(event);
  fitButtons();
}

QSize MemoryCard::minimumSizeHint() const {
  auto hint = GlassCard::minimumSizeHint();
  if (why) hint.setWidth(std::min(hint.width(), std::max(why->sizeHint().width(), whatsUsing->sizeHint().width()) + 36));
  return hint;
}

void MemoryCard::fitButtons() {
  if (!buttons) return;
  const int side = why->sizeHint().width() + 10 + whatsUsing->sizeHint().width();
  const bool fits = side <= contentsRect().width() - 36;
  buttons->setDirection(fits ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
  buttons->setSpacing(fits ? 10 : 8);
}

void MemoryCard::refresh() {
  const auto& memory = model.memory();
  waiting->setVisible(!memory);
  reading->setVisible(memory.has_value());
  if (!memory) return;
  pressure->setPressure(memory->pressure);
  inUse->setText(OverviewTexts::memoryInUse(*memory));
  const auto top = OverviewTexts::topApps(model.processes());
  QStringList ids;
  for (const auto& group : top) ids << RowKeys::of(group.id);
  apps->setKeys(ids);
  for (const auto& group : top)
    static_cast<MeterRow*>(apps->row(RowKeys::of(group.id)))
        ->show(QString::fromStdString(group.name), Formats::memory(group.memoryBytes),
               OverviewTexts::memoryFraction(group.memoryBytes, memory->total));
  const auto link = OverviewTexts::developerToolsLink(model.developerTools());
  toolsLink->setVisible(link.has_value());
  toolsLink->setText(link.value_or(QString()));
}

}  // namespace tidra
