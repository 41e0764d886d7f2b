#include "views/design/ClearScroll.h"

#include <QApplication>
#include <QScrollArea>

namespace tidra {

void showThrough(QScrollArea* scroll, QWidget* content) {
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  // setWidget turns the content's background filling on, so it is turned off only afterwards.
  scroll->setWidget(content);
  scroll->viewport()->setAutoFillBackground(false);
  content->setAutoFillBackground(false);
  // A Tab stop on the area itself would show nothing: Tab reaches the controls inside, and the
  // area scrolls each into view as it takes the focus, also when it comes from outside.
  scroll->setFocusPolicy(Qt::NoFocus);
  QObject::connect(qApp, &QApplication::focusChanged, scroll, [scroll](QWidget*, QWidget* now) {
    if (now != nullptr && scroll->widget() != nullptr && scroll->widget()->isAncestorOf(now))
      scroll->ensureWidgetVisible(now);
  });
}

}  // namespace tidra
