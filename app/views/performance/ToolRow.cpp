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

ToolRow::ToolRow(const DeveloperTool& tool, std::optional<double> idle, std::chrono::system_clock::time_point now,
                 std::function<void()> stop, QWidget* parent)
    : QWidget(parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(10, 5, 10, 5);
  row->setSpacing(12);
  row->addWidget(new IconChip(T::toolSymbol(tool.kind), chipTint(tool.kind), 30), 0, Qt::AlignTop);

  auto* texts = new QVBoxLayout;
  texts->setSpacing(3);
  auto* title = new QHBoxLayout;
  title->setSpacing(6);
  auto* name = new StyledLabel(QString::fromStdString(tool.title), Theme::TextStyle::body, Role::label, QFont::Medium);
  title->addWidget(name);
  if (const auto badge = T::toolBadge(tool, idle)) {
    auto* chip = new Badge(badge->text, badge->kind == T::ToolBadge::Kind::inUse ? Role::green : Role::orange);
    chip->setObjectName(QStringLiteral("toolBadge"));
    chip->setToolTip(badge->help);
    title->addWidget(chip);
  }
  if (const auto started = T::startedText(tool, now)) {
    auto* when = new StyledLabel(*started, Theme::TextStyle::caption, Role::tertiaryLabel);
    when->setObjectName(QStringLiteral("toolStarted"));
    title->addWidget(when, 0, Qt::AlignBottom);
  }
  title->addStretch(1);
  texts->addLayout(title);
  auto* description = new StyledLabel(T::toolDescription(tool), Theme::TextStyle::callout, Role::secondaryLabel);
  description->setWordWrap(true);
  texts->addWidget(description);
  row->addLayout(texts, 1);
  row->addSpacing(8);

  auto* figures = new QVBoxLayout;
  figures->setSpacing(1);
  figures->addWidget(figureLabel(T::toolMemory(tool), Theme::TextStyle::body, Role::label, QFont::Medium));
  figures->addWidget(figureLabel(T::toolCpu(tool), Theme::TextStyle::caption, Role::secondaryLabel));
  auto* figureBox = new QWidget;
  figureBox->setMinimumWidth(90);
  figures->setContentsMargins(0, 0, 0, 0);
  figureBox->setLayout(figures);
  row->addWidget(figureBox, 0, Qt::AlignTop);

  auto* stopButton = new Button(Button::Look::secondary, QStringLiteral("Stop…"));
  stopButton->setObjectName(QStringLiteral("stop"));
  stopButton->setControlSize(Button::Size::small);
  connect(stopButton, &QPushButton::clicked, this, [stop = std::move(stop)] { stop(); });
  row->addWidget(stopButton, 0, Qt::AlignTop);
}

}  // namespace tidra::performance
