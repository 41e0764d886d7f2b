#include "views/applications/PartRow.h"

#include "views/Formats.h"
#include "views/SelectionTexts.h"
#include "views/applications/ApplicationsTexts.h"
#include "views/design/StyledLabel.h"

#include <QCheckBox>
#include <QHBoxLayout>

namespace tidra::applications {

PartRow::PartRow(ApplicationsModel& model, AppPart part, bool isApp, QWidget* parent)
    : QWidget(parent), model(model), part(std::move(part)), isApp(isApp),
      fullText(ApplicationsTexts::partText(this->part.path, isApp, model.home())), box(new QCheckBox(this)) {
  setObjectName(QStringLiteral("partRow"));
  box->setObjectName(QStringLiteral("partTick"));
  box->setToolTip(ApplicationsTexts::partHelp(this->part.path, isApp, model.home()));
  box->setEnabled(!isApp);
  box->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(8, 2, 8, 2);
  row->setSpacing(8);
  row->addWidget(box, 1);
  row->addWidget(new StyledLabel(Formats::bytes(this->part.bytes), Theme::TextStyle::body, Theme::Role::secondaryLabel));
  connect(box, &QCheckBox::toggled, this, &PartRow::setTicked);
  refresh();
}

void PartRow::refresh() {
  const QSignalBlocker quiet(box);
  box->setChecked(isApp || !model.keptParts().contains(part.path));
}

void PartRow::setTicked(bool ticked) {
  // A ticked part goes with the app; the model keeps the unticked ones.
  model.setKeptParts(SelectionTexts::with(model.keptParts(), part.path, !ticked));
}

void PartRow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  elide();
}

void PartRow::elide() {
  // Room for the tick mark and its gap before the text.
  const int room = box->width() - 28;
  box->setText(box->fontMetrics().elidedText(fullText, Qt::ElideMiddle, std::max(room, 40)));
}

}  // namespace tidra::applications
