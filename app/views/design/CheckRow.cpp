#include "views/design/CheckRow.h"

#include "views/design/StyledLabel.h"
#include "views/design/SymbolView.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tidra {

CheckRow::CheckRow(QWidget* parent)
    : QWidget(parent),
      check(new QCheckBox(this)),
      lock(new SymbolView(QStringLiteral("lock"), Theme::Role::secondaryLabel, 14, this)),
      title(new StyledLabel({}, Theme::TextStyle::body, Theme::Role::label, -1, this)),
      row(new QHBoxLayout(this)),
      heading(new QHBoxLayout),
      lines(new QVBoxLayout) {
  row->setContentsMargins(0, 3, 0, 3);
  row->setSpacing(10);
  lock->setFixedWidth(16);
  row->addWidget(check, 0, Qt::AlignTop);
  row->addWidget(lock, 0, Qt::AlignTop);
  lines->setSpacing(2);
  heading->setSpacing(6);
  title->setTextFormat(Qt::PlainText);
  heading->addWidget(title);
  heading->addStretch(1);
  lines->addLayout(heading);
  row->addLayout(lines, 1);
}

void CheckRow::addBadge(QWidget* badge) { heading->insertWidget(heading->count() - 1, badge); }

void CheckRow::addLine(StyledLabel* line) {
  line->setWordWrap(true);
  lines->addWidget(line);
}

void CheckRow::addTrailing(QWidget* part) { row->addWidget(part, 0, Qt::AlignTop); }

}  // namespace tidra
