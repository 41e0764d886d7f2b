#include "views/cleanup/SummaryBanner.h"

#include "models/AppModel.h"
#include "views/cleanup/CleanupTexts.h"
#include "views/design/Banner.h"
#include "views/design/Button.h"
#include "views/design/StyledLabel.h"

#include <QVBoxLayout>

namespace tidra {

SummaryBanner::SummaryBanner(AppModel& model, const CleanSummary& summary, const std::string& home, QWidget* parent)
    : QWidget(parent) {
  setObjectName(QStringLiteral("summaryBanner"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(8);
  const auto& unrecorded = model.historyProblem();
  const bool clean = summary.failures.empty() && !unrecorded;
  auto* banner = new Banner(clean ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("exclamationmark.triangle.fill"),
                            clean ? Theme::Role::green : Theme::Role::orange, CleanupTexts::summaryTitle(summary),
                            CleanupTexts::summaryDetail(summary, unrecorded), this);
  auto* dismiss = new Button(Button::Look::link, QStringLiteral("Dismiss"), banner);
  dismiss->setObjectName(QStringLiteral("dismissSummary"));
  connect(dismiss, &QPushButton::clicked, &model, [&model] { model.setCleanSummary(std::nullopt); });
  banner->actions()->addWidget(dismiss);
  column->addWidget(banner);
  if (!summary.failures.empty()) column->addWidget(makeFailures(summary, home));
}

QWidget* SummaryBanner::makeFailures(const CleanSummary& summary, const std::string& home) {
  auto* group = new QWidget(this);
  auto* column = new QVBoxLayout(group);
  column->setContentsMargins(12, 0, 12, 0);
  column->setSpacing(4);
  toggle = new Button(Button::Look::link, CleanupTexts::failureCount(summary.failures.size()), group);
  toggle->setObjectName(QStringLiteral("failuresToggle"));
  toggle->setSymbol(QStringLiteral("chevron.right"));
  column->addWidget(toggle, 0, Qt::AlignLeft);
  failures = new QWidget(group);
  failures->setObjectName(QStringLiteral("failuresList"));
  auto* lines = new QVBoxLayout(failures);
  lines->setContentsMargins(18, 0, 0, 0);
  lines->setSpacing(2);
  for (const auto& failure : summary.failures) {
    auto* line = new StyledLabel(CleanupTexts::failureLine(failure, home), Theme::TextStyle::callout,
                                 Theme::Role::secondaryLabel, -1, failures);
    line->setTextFormat(Qt::PlainText);
    line->setWordWrap(true);
    lines->addWidget(line);
  }
  failures->hide();
  column->addWidget(failures);
  connect(toggle, &QPushButton::clicked, this, [this] {
    failures->setVisible(!failures->isVisible());
    toggle->setSymbol(failures->isVisible() ? QStringLiteral("chevron.down") : QStringLiteral("chevron.right"));
  });
  return group;
}

}  // namespace tidra
