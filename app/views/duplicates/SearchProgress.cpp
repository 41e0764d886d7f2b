#include "views/duplicates/SearchProgress.h"

#include "views/design/Spinner.h"
#include "views/design/StyledLabel.h"

#include <QVBoxLayout>

namespace tidra::duplicates {

SearchProgress::SearchProgress(QWidget* parent) : QWidget(parent) {
  auto* column = new QVBoxLayout(this);
  column->setSpacing(12);
  column->addStretch(1);
  column->addWidget(new Spinner(Spinner::Size::regular, this), 0, Qt::AlignHCenter);
  line = new StyledLabel({}, Theme::TextStyle::body, Theme::Role::secondaryLabel);
  line->setObjectName(QStringLiteral("searchProgress"));
  column->addWidget(line, 0, Qt::AlignHCenter);
  column->addStretch(1);
}

void SearchProgress::setText(const QString& text) { line->setText(text); }

}  // namespace tidra::duplicates
