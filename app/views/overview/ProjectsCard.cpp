#include "views/overview/ProjectsCard.h"

#include "models/AppModel.h"
#include "models/ProjectsModel.h"
#include "views/design/BigNumber.h"
#include "views/design/Brand.h"
#include "views/design/Button.h"
#include "views/design/CardHeader.h"
#include "views/design/Spinner.h"
#include "views/design/StyledLabel.h"
#include "views/overview/OverviewTexts.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tidra {

ProjectsCard::ProjectsCard(AppModel& model, ProjectsModel& projects, QWidget* parent)
    : GlassCard(20, parent), model(model), projects(projects) {
  setObjectName(QStringLiteral("projectsCard"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(18, 18, 18, 18);
  column->setSpacing(10);
  column->addWidget(new CardHeader(QStringLiteral("Projects"), QStringLiteral("folder.badge.gearshape"), Brand::violet(), this));
  number = new BigNumber({}, 30, this);
  number->setObjectName(QStringLiteral("projectsBytes"));
  column->addWidget(number);
  auto* status = new QHBoxLayout;
  status->setSpacing(8);
  scanning = new Spinner(Spinner::Size::small, this);
  status->addWidget(scanning, 0, Qt::AlignVCenter);
  text = new StyledLabel({}, Theme::TextStyle::body, Theme::Role::secondaryLabel, -1, this);
  text->setObjectName(QStringLiteral("projectsText"));
  text->setWordWrap(true);
  status->addWidget(text, 1);
  column->addLayout(status);
  column->addStretch(1);
  button = new Button(Button::Look::secondary, {}, this);
  button->setObjectName(QStringLiteral("projectsButton"));
  column->addWidget(button, 0, Qt::AlignLeft);
  connect(button, &QPushButton::clicked, this, [this] {
    this->model.setSection(Section::projects);
    if (!this->projects.scan()) this->projects.scanProjects();
  });
}

void ProjectsCard::refresh() {
  const auto card = OverviewTexts::projects(projects.scan(), projects.phase().isScanning(), projects.selectedBytes());
  using Status = OverviewTexts::ProjectsCard::Status;
  number->setVisible(card.status == Status::result);
  number->setText(card.number);
  scanning->setVisible(card.status == Status::scanning);
  text->setText(card.text);
  button->setText(card.button);
  button->setEnabled(card.buttonEnabled);
}

}  // namespace tidra
