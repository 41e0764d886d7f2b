#include "views/performance/StartupRow.h"

#include "platform/FileRevealer.h"
#include "views/design/Badge.h"
#include "views/design/Button.h"
#include "views/design/ElidedLabel.h"
#include "views/design/IconChip.h"
#include "views/design/StyledLabel.h"
#include "views/performance/PerformanceTexts.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tidra::performance {

namespace T = PerformanceTexts;
using Role = Theme::Role;

StartupRow::StartupRow(const StartupItem& item, const std::string& home, FileRevealer& revealer,
                       std::function<void(const StartupItem&)> remove, QWidget* parent)
    : QWidget(parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(10, 3, 10, 3);
  row->setSpacing(12);
  const bool leftover = item.isLeftover();
  row->addWidget(leftover ? new IconChip(QStringLiteral("exclamationmark.triangle.fill"), Role::orange, 26)
                          : new IconChip(QStringLiteral("power"), Role::gray, 26));

  auto* texts = new QVBoxLayout;
  texts->setSpacing(2);
  auto* title = new QHBoxLayout;
  title->setSpacing(6);
  auto* label = new ElidedLabel(QString::fromStdString(item.label), Theme::TextStyle::body, Role::label, Qt::ElideMiddle);
  label->setObjectName(QStringLiteral("startupLabel"));
  title->addWidget(label);
  if (item.programMissing) {
    auto* badge = new Badge(T::leftoverBadge(), Role::orange);
    badge->setObjectName(QStringLiteral("leftoverBadge"));
    title->addWidget(badge);
  }
  title->addStretch(1);
  texts->addLayout(title);
  // Cut in the middle to the room the row has, so the folder's start and the program's name stay.
  auto* program = new ElidedLabel(T::programLine(item, home), Theme::TextStyle::callout, Role::secondaryLabel,
                                  Qt::ElideMiddle);
  program->setObjectName(QStringLiteral("program"));
  texts->addWidget(program);
  row->addLayout(texts, 1);

  row->addWidget(new StyledLabel(T::startsText(item), Theme::TextStyle::callout, Role::secondaryLabel));
  if (leftover) {
    auto* removeButton = new Button(Button::Look::link, QStringLiteral("Remove…"));
    removeButton->setObjectName(QStringLiteral("remove"));
    connect(removeButton, &QPushButton::clicked, this, [remove, item] { remove(item); });
    row->addWidget(removeButton);
  }
  auto* reveal = new Button(Button::Look::link, QStringLiteral("Show in Folder"));
  reveal->setObjectName(QStringLiteral("reveal"));
  connect(reveal, &QPushButton::clicked, this,
          [&revealer, path = item.plistPath] { revealer.reveal(path); });
  row->addWidget(reveal);
}

}  // namespace tidra::performance
