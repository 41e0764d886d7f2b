#include "views/duplicates/FailureBanner.h"

#include "views/design/Button.h"
#include "views/duplicates/DuplicatesTexts.h"

#include <QHBoxLayout>

namespace tidra::duplicates {

FailureBanner::FailureBanner(const std::vector<CleanReport::Failure>& failures, const std::string& home,
                             std::function<void()> dismiss, QWidget* parent)
    : Banner(QStringLiteral("exclamationmark.triangle.fill"), Theme::Role::orange,
             DuplicatesTexts::failureTitle(failures.size()), DuplicatesTexts::failureDetail(failures, home), parent) {
  setObjectName(QStringLiteral("failureBanner"));
  auto* button = new Button(Button::Look::link, QStringLiteral("Dismiss"), this);
  button->setObjectName(QStringLiteral("dismissFailures"));
  connect(button, &QPushButton::clicked, this, [dismiss = std::move(dismiss)] { dismiss(); });
  actions()->addWidget(button);
}

}  // namespace tidra::duplicates
