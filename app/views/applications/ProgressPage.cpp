#include "views/applications/ProgressPage.h"

#include "views/design/Spinner.h"
#include "views/design/StyledLabel.h"

#include <QVBoxLayout>

namespace tidra {

ProgressPage::ProgressPage(const QString& text, QWidget* parent)
    : QWidget(parent), line(new StyledLabel(text, Theme::TextStyle::body, Theme::Role::secondaryLabel)) {
  auto* column = new QVBoxLayout(this);
  column->setSpacing(12);
  column->addStretch(1);
  column->addWidget(new Spinner(Spinner::Size::regular, this), 0, Qt::AlignHCenter);
  column->addWidget(line, 0, Qt::AlignHCenter);
  column->addStretch(1);
}

void ProgressPage::setText(const QString& text) { line->setText(text); }

}  // namespace tidra
