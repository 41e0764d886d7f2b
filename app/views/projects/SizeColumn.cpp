#include "views/projects/SizeColumn.h"

#include "views/Formats.h"
#include "views/design/StyledLabel.h"
#include "views/projects/ProjectsTexts.h"

#include <QVBoxLayout>

namespace tidra::projects {

SizeColumn::SizeColumn(QWidget* parent)
    : QWidget(parent),
      realText(new StyledLabel({}, Theme::TextStyle::body, Theme::Role::secondaryLabel, -1, this)),
      note(new StyledLabel({}, Theme::TextStyle::caption, Theme::Role::tertiaryLabel, -1, this)) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(1);
  realText->setAlignment(Qt::AlignRight);
  note->setAlignment(Qt::AlignRight);
  column->addWidget(realText);
  column->addWidget(note);
  setMinimumWidth(90);
}

void SizeColumn::setBytes(std::int64_t real, std::int64_t apparent) {
  realText->setText(Formats::bytes(real));
  note->setText(ProjectsTexts::fileManagerNote(apparent));
  note->setVisible(ProjectsTexts::showsFileManagerNote(real, apparent));
}

}  // namespace tidra::projects
