#include "views/FinishingWindow.h"

#include "views/design/Spinner.h"
#include "views/design/StyledLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tidra {

QString FinishingWindow::title() { return QStringLiteral("Finishing…"); }

QString FinishingWindow::message() {
  return QStringLiteral("Tidra quits as soon as the removal in hand is finished and recorded in the history.");
}

FinishingWindow::FinishingWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("finishing"));
  setWindowTitle(QStringLiteral("Tidra"));
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(20, 16, 20, 16);
  row->setSpacing(12);
  row->addWidget(new Spinner(Spinner::Size::regular, this), 0, Qt::AlignTop);
  auto* column = new QVBoxLayout;
  column->setSpacing(4);
  column->addWidget(new StyledLabel(title(), Theme::TextStyle::headline, Theme::Role::label, QFont::Bold, this));
  auto* body = new StyledLabel(message(), Theme::TextStyle::body, Theme::Role::secondaryLabel, -1, this);
  body->setWordWrap(true);
  column->addWidget(body);
  row->addLayout(column, 1);
  // The wrapped message decides the height at this width.
  resize(380, heightForWidth(380));
}

}  // namespace tidra
