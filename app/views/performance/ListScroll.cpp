#include "views/performance/ListScroll.h"

#include "views/design/ClearScroll.h"

#include <QScrollArea>
#include <QVBoxLayout>

namespace tidra::performance {

QScrollArea* wrapInScroll(QWidget* rows) {
  auto* scroll = new QScrollArea;
  scroll->setObjectName(QStringLiteral("listScroll"));
  // No style sheet for the transparency: a widget styled by one keeps the palette of the
  // appearance it was polished in, and the rows inside would miss a switch to light or dark.
  auto* content = new QWidget;
  content->setObjectName(QStringLiteral("listScrollContent"));
  auto* column = new QVBoxLayout(content);
  column->setContentsMargins(16, 4, 16, 12);
  column->addWidget(rows);
  column->addStretch(1);
  showThrough(scroll, content);
  return scroll;
}

void clearRows(QLayout* rows) {
  while (auto* item = rows->takeAt(0)) {
    delete item->widget();
    delete item;
  }
}

}  // namespace tidra::performance
