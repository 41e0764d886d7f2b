#include "views/HistoryNotice.h"

#include "models/AppModel.h"
#include "views/HistoryTexts.h"
#include "views/design/Banner.h"
#include "views/design/Button.h"

#include <QVBoxLayout>

namespace tidra {

HistoryNotice::HistoryNotice(const AppModel& model, QWidget* parent) : QWidget(parent), model(model) {
  setObjectName(QStringLiteral("historyNotice"));
  // Inset as the screens' cards below it are.
  setContentsMargins(16, 12, 16, 0);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  connect(&model, &AppModel::historyProblemChanged, this, [this] {
    // Written at last: a later problem belongs to whatever removal comes next.
    if (!this->model.historyProblem()) removed = false;
    refresh();
  });
  refresh();
}

void HistoryNotice::removalStarted() {
  removed = true;
  refresh();
}

void HistoryNotice::refresh() {
  const auto& problem = model.historyProblem();
  if (banner) {
    // Later, not now: this may run inside the banner's own "Dismiss".
    banner->hide();
    banner->deleteLater();
    banner = nullptr;
  }
  setVisible(removed && problem);
  if (!removed || !problem) return;
  banner = new Banner(QStringLiteral("exclamationmark.triangle.fill"), Theme::Role::orange,
                      HistoryTexts::movedToTrash(), HistoryTexts::unrecorded(*problem), this);
  auto* dismiss = new Button(Button::Look::link, QStringLiteral("Dismiss"), banner);
  dismiss->setObjectName(QStringLiteral("dismissHistoryNotice"));
  connect(dismiss, &QPushButton::clicked, this, &HistoryNotice::forget);
  banner->actions()->addWidget(dismiss);
  layout()->addWidget(banner);
  banner->show();
}

void HistoryNotice::forget() {
  removed = false;
  refresh();
}

}  // namespace tidra
