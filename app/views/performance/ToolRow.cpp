#include "views/performance/ToolRow.h"

#include "views/design/Badge.h"
#include "views/design/Brand.h"
#include "views/design/Button.h"
#include "views/design/IconChip.h"
#include "views/design/StyledLabel.h"
#include "views/performance/FigureLabel.h"
#include "views/performance/PerformanceTexts.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <utility>

namespace tidra::performance {

namespace T = PerformanceTexts;
using Role = Theme::Role;
using Kind = DeveloperTool::Kind;

namespace {

Theme::Tint chipTint(Kind kind) {
  switch (kind) {
    case Kind::buildDaemon: return Role::orange;
    case Kind::languageServer: return Brand::violet();
    case Kind::devServer: return Brand::teal();
    case Kind::emulator: return Role::green;
    case Kind::simulator:
    case Kind::containers: return Brand::blue();
  }
  return Role::gray;
}

}  // namespace

ToolRow::ToolRow(Kind kind, std::function<void(const DeveloperTool&)> stop, QWidget* parent) : QWidget(parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(10, 5, 10, 5);
  row->setSpacing(12);
  row->addWidget(new IconChip(T::toolSymbol(kind), chipTint(kind), 30), 0, Qt::AlignTop);

  auto* texts = new QVBoxLayout;
  texts->setSpacing(3);
  title = new QHBoxLayout;
  title->setSpacing(6);
  name = new StyledLabel({}, Theme::TextStyle::body, Role::label, QFont::Medium);
  title->addWidget(name);
  started = new StyledLabel({}, Theme::TextStyle::caption, Role::tertiaryLabel);
  started->setObjectName(QStringLiteral("toolStarted"));
  title->addWidget(started, 0, Qt::AlignBottom);
  title->addStretch(1);
  texts->addLayout(title);
  description = new StyledLabel({}, Theme::TextStyle::callout, Role::secondaryLabel);
  description->setWordWrap(true);
  texts->addWidget(description);
  row->addLayout(texts, 1);
  row->addSpacing(8);

  auto* figures = new QVBoxLayout;
  figures->setSpacing(1);
  memory = figureLabel({}, Theme::TextStyle::body, Role::label, QFont::Medium);
  cpu = figureLabel({}, Theme::TextStyle::caption, Role::secondaryLabel);
  figures->addWidget(memory);
  figures->addWidget(cpu);
  auto* figureBox = new QWidget;
  figureBox->setMinimumWidth(90);
  figures->setContentsMargins(0, 0, 0, 0);
  figureBox->setLayout(figures);
  row->addWidget(figureBox, 0, Qt::AlignTop);

  auto* stopButton = new Button(Button::Look::secondary, QStringLiteral("Stop…"));
  stopButton->setObjectName(QStringLiteral("stop"));
  stopButton->setControlSize(Button::Size::small);
  connect(stopButton, &QPushButton::clicked, this, [this, stop = std::move(stop)] { stop(shown); });
  row->addWidget(stopButton, 0, Qt::AlignTop);
}

void ToolRow::show(const DeveloperTool& tool, std::optional<double> idle, std::chrono::system_clock::time_point now) {
  shown = tool;
  name->setText(QString::fromStdString(tool.title));
  showBadge(tool, idle);
  const auto since = T::startedText(tool, now);
  started->setText(since.value_or(QString()));
  started->setVisible(since.has_value());
  description->setText(T::toolDescription(tool));
  memory->setText(T::toolMemory(tool));
  cpu->setText(T::toolCpu(tool));
}

// A badge draws its words once: a new text or kind takes a new badge.
void ToolRow::showBadge(const DeveloperTool& tool, std::optional<double> idle) {
  const auto wanted = T::toolBadge(tool, idle);
  const auto tint = [](const T::ToolBadge& b) { return b.kind == T::ToolBadge::Kind::inUse ? Role::green : Role::orange; };
  if (badge && wanted && badge->text() == wanted->text && badge->tint() == Theme::Tint(tint(*wanted))) {
    badge->setToolTip(wanted->help);
    return;
  }
  delete std::exchange(badge, nullptr);
  if (!wanted) return;
  badge = new Badge(wanted->text, tint(*wanted));
  badge->setObjectName(QStringLiteral("toolBadge"));
  badge->setToolTip(wanted->help);
  title->insertWidget(1, badge);
}

}  // namespace tidra::performance
