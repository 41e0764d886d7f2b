#include "views/menubar/IdleRow.h"

#include "views/design/Brand.h"
#include "views/design/Button.h"
#include "views/design/IconChip.h"
#include "views/design/StyledLabel.h"
#include "views/menubar/MenuBarTexts.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tidra {

IdleRow::IdleRow(QWidget* parent) : QWidget(parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(10);
  chip = new IconChip(QString(), Brand::teal(), 26, this);
  row->addWidget(chip);
  auto* texts = new QVBoxLayout;
  texts->setSpacing(1);
  titleLabel = new StyledLabel(QString(), Theme::TextStyle::callout, Theme::Role::label, QFont::Medium, this);
  holdingLabel = new StyledLabel(QString(), Theme::TextStyle::caption, Theme::Role::secondaryLabel, -1, this);
  holdingLabel->setObjectName(QStringLiteral("holding"));
  texts->addWidget(titleLabel);
  texts->addWidget(holdingLabel);
  row->addLayout(texts);
  row->addStretch(1);
  stopButton = new Button(Button::Look::secondary, QStringLiteral("Stop"), this);
  stopButton->setObjectName(QStringLiteral("stop"));
  stopButton->setControlSize(Button::Size::small);
  row->addWidget(stopButton);
  connect(stopButton, &QPushButton::clicked, this, [this] {
    if (stop) stop();
  });
}

void IdleRow::setContent(const QString& symbol, const QString& title, const std::vector<DeveloperTool>& tools,
                         std::function<void()> onStop) {
  chip->setSymbol(symbol);
  titleLabel->setText(title);
  holdingLabel->setText(MenuBarTexts::holding(tools));
  const QString help = MenuBarTexts::stopsHelp(tools);
  stopButton->setToolTip(help);
  stopButton->setAccessibleDescription(help);
  stop = std::move(onStop);
}

}  // namespace tidra
