#include "views/performance/ProcessRow.h"

#include "views/Formats.h"
#include "views/design/Brand.h"
#include "views/design/Button.h"
#include "views/design/ElidedLabel.h"
#include "views/design/MeterBar.h"
#include "views/design/StyledLabel.h"
#include "views/performance/FigureLabel.h"
#include "views/design/Symbols.h"
#include "views/performance/PerformanceTexts.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

namespace tidra::performance {

namespace T = PerformanceTexts;
using Role = Theme::Role;

namespace {

constexpr int iconSide = 24;

}  // namespace

ProcessRow::ProcessRow(std::function<void(const ProcessGroup&)> quit, QWidget* parent)
    : QWidget(parent), quit(std::move(quit)) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(10, 3, 10, 3);
  row->setSpacing(12);

  icon = new QLabel;
  icon->setObjectName(QStringLiteral("processIcon"));
  icon->setFixedSize(iconSide, iconSide);
  icon->setAlignment(Qt::AlignCenter);
  row->addWidget(icon);

  auto* names = new QVBoxLayout;
  names->setSpacing(1);
  name = new ElidedLabel({}, Theme::TextStyle::body);
  name->setObjectName(QStringLiteral("processName"));
  caption = new StyledLabel({}, Theme::TextStyle::caption, Role::secondaryLabel);
  caption->setObjectName(QStringLiteral("processCaption"));
  names->addWidget(name);
  names->addWidget(caption);
  row->addLayout(names, 1);

  auto* memoryColumn = new QVBoxLayout;
  memoryColumn->setSpacing(4);
  memory = figureLabel({}, Theme::TextStyle::body, Role::label);
  memory->setObjectName(QStringLiteral("processMemory"));
  meter = new MeterBar(0, {Brand::teal(), Brand::blue()});
  meter->setFixedWidth(110);
  memoryColumn->addWidget(memory);
  memoryColumn->addWidget(meter, 0, Qt::AlignRight);
  auto* memoryBox = new QWidget;
  memoryBox->setFixedWidth(memoryWidth);
  memoryBox->setLayout(memoryColumn);
  memoryColumn->setContentsMargins(0, 0, 0, 0);
  row->addWidget(memoryBox);

  cpu = figureLabel({}, Theme::TextStyle::body, Role::secondaryLabel);
  cpu->setObjectName(QStringLiteral("processCpu"));
  // Figures of a fixed size: new ones redraw the label alone, without laying out the list again.
  memory->setFixedSize(memoryWidth, memory->fontMetrics().height());
  cpu->setFixedSize(cpuWidth, cpu->fontMetrics().height());
  row->addWidget(cpu);

  auto* quitBox = new QWidget;
  quitBox->setFixedWidth(quitWidth);
  auto* quitColumn = new QHBoxLayout(quitBox);
  quitColumn->setContentsMargins(0, 0, 0, 0);
  quitButton = new Button(Button::Look::secondary, QStringLiteral("Quit…"));
  quitButton->setObjectName(QStringLiteral("quit"));
  quitButton->setControlSize(Button::Size::small);
  quitColumn->addStretch(1);
  quitColumn->addWidget(quitButton);
  row->addWidget(quitBox);
  connect(quitButton, &QPushButton::clicked, this, [this] { this->quit(shown); });
}

void ProcessRow::show(const ProcessGroup& group, double largest, bool canQuit, const QIcon& image) {
  shown = group;
  quittable = canQuit;
  if (!drawnIcon || image.cacheKey() != picture.cacheKey()) {
    picture = image;
    drawIcon();
  }
  name->setText(QString::fromStdString(group.name));
  name->setRole(group.isSystemService ? Role::secondaryLabel : Role::label);
  caption->setText(T::processCaption(group));
  memory->setText(Formats::memory(group.memoryBytes));
  meter->setFraction(static_cast<double>(group.memoryBytes) / largest);
  cpu->setText(T::cpuText(group.cpuPercent));
  quitButton->setVisible(canQuit);
  if (const QString help = T::processHelp(group); toolTip() != help) setToolTip(help);
}

void ProcessRow::drawIcon() {
  drawnIcon = true;
  if (!picture.isNull())
    icon->setPixmap(picture.pixmap(iconSide, iconSide));
  else
    icon->setPixmap(Symbols::icon(u"gearshape.fill", Theme::color(Role::secondaryLabel, this), iconSide - 6)
                        .pixmap(iconSide - 6, iconSide - 6));
}

// The stand-in picture is drawn in the label colour of the appearance it was drawn in.
void ProcessRow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange && drawnIcon) drawIcon();
}

void ProcessRow::contextMenuEvent(QContextMenuEvent* event) {
  if (!quittable) return;
  QMenu menu;
  menu.addAction(T::quitMenuTitle(shown), this, [this] { quit(shown); });
  menu.exec(event->globalPos());
}

}  // namespace tidra::performance
