#include "views/projects/SectionHeader.h"

#include "views/SelectionTexts.h"
#include "views/design/Brand.h"
#include "views/design/Button.h"
#include "views/design/IconChip.h"
#include "views/design/StyledLabel.h"

#include <QHBoxLayout>

namespace tidra::projects {

SectionHeader::SectionHeader(const QString& symbol, QWidget* parent)
    : QWidget(parent),
      chip(new IconChip(symbol, Brand::violet(), 22, this)),
      title(new StyledLabel({}, Theme::TextStyle::headline, Theme::Role::label, -1, this)),
      subtitle(new StyledLabel({}, Theme::TextStyle::body, Theme::Role::secondaryLabel, -1, this)),
      toggle(new Button(Button::Look::link, {}, this)),
      size(new StyledLabel({}, Theme::TextStyle::body, Theme::Role::label, -1, this)) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 8, 0, 4);
  row->setSpacing(9);
  row->addWidget(chip);
  row->addWidget(title);
  row->addWidget(subtitle);
  row->addStretch(1);
  row->addWidget(toggle);
  size->setMinimumWidth(80);
  size->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  row->addWidget(size);
  connect(toggle, &QPushButton::clicked, this, &SectionHeader::togglePressed);
}

void SectionHeader::update(const QString& titleText, const QString& subtitleText, bool allSelected,
                           const QString& bytes) {
  title->setText(titleText);
  subtitle->setText(subtitleText);
  subtitle->setVisible(!subtitleText.isEmpty());
  toggle->setText(SelectionTexts::selectAllTitle(allSelected));
  size->setText(bytes);
}

}  // namespace tidra::projects
