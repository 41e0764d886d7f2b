#include "views/design/ClearScroll.h"

#include <QScrollArea>

namespace tidra {

void showThrough(QScrollArea* scroll, QWidget* content) {
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->viewport()->setAutoFillBackground(false);
  content->setAutoFillBackground(false);
  scroll->setWidget(content);
}

}  // namespace tidra
