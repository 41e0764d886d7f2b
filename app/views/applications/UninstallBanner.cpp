#include "views/applications/UninstallBanner.h"

#include "views/applications/ApplicationsTexts.h"
#include "views/design/Banner.h"
#include "views/design/Button.h"
#include "views/design/StyledLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tidra::applications {

UninstallBanner::UninstallBanner(ApplicationsModel& model, const UninstallSummary& summary,
                                 std::optional<std::string> unrecorded, QWidget* parent)
    : QWidget(parent), model(model), shown(summary), shownProblem(std::move(unrecorded)) {
  setObjectName(QStringLiteral("uninstallBanner"));
  const bool failed = !summary.failures.empty();
  const bool warns = failed || shownProblem;
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(8);
  auto* banner = new Banner(warns ? QStringLiteral("exclamationmark.triangle.fill") : QStringLiteral("checkmark.circle.fill"),
                            warns ? Theme::Role::orange : Theme::Role::green, ApplicationsTexts::bannerTitle(summary),
                            ApplicationsTexts::bannerDetail(summary, shownProblem), this);
  auto* dismiss = new Button(Button::Look::link, QStringLiteral("Dismiss"), banner);
  dismiss->setObjectName(QStringLiteral("dismissUninstallBanner"));
  connect(dismiss, &QPushButton::clicked, this, [&model] { model.setSummary(std::nullopt); });
  banner->actions()->addWidget(dismiss);
  column->addWidget(banner);
  if (failed) column->addWidget(makeFailureList());
}

QWidget* UninstallBanner::makeFailureList() {
  auto* frame = new QWidget(this);
  auto* column = new QVBoxLayout(frame);
  column->setContentsMargins(12, 0, 12, 0);
  column->setSpacing(4);
  auto* toggle = new Button(Button::Look::link, ApplicationsTexts::stayedLabel(static_cast<int>(shown.failures.size())));
  toggle->setObjectName(QStringLiteral("stayedDisclosure"));
  toggle->setSymbol(QStringLiteral("chevron.right"));
  toggle->setCheckable(true);
  auto* lines = new QWidget(frame);
  lines->setObjectName(QStringLiteral("stayedItems"));
  auto* lineColumn = new QVBoxLayout(lines);
  lineColumn->setContentsMargins(18, 0, 0, 0);
  for (const auto& failure : shown.failures) {
    auto* line = new StyledLabel(ApplicationsTexts::failureLine(failure, model.home()), Theme::TextStyle::callout,
                                 Theme::Role::secondaryLabel);
    line->setWordWrap(true);
    lineColumn->addWidget(line);
  }
  lines->hide();
  connect(toggle, &QPushButton::toggled, lines, [toggle, lines](bool open) {
    lines->setVisible(open);
    toggle->setSymbol(open ? QStringLiteral("chevron.down") : QStringLiteral("chevron.right"));
  });
  auto* toggleRow = new QHBoxLayout;
  toggleRow->addWidget(toggle);
  toggleRow->addStretch(1);
  column->addLayout(toggleRow);
  column->addWidget(lines);
  return frame;
}

}  // namespace tidra::applications
