#include "views/design/Sheet.h"

#include "views/design/Backdrop.h"
#include "views/design/ReadingOrder.h"

#include <QVBoxLayout>

namespace tidra {

Sheet::Sheet(QWidget* parent) : QDialog(parent), content(new QVBoxLayout(this)) {
  setWindowModality(Qt::WindowModal);
  content->setContentsMargins(20, 20, 20, 20);
  content->setSpacing(12);
}

void Sheet::setBackdrop(bool on) {
  if (on == (backdrop != nullptr)) return;
  if (!on) {
    delete backdrop;
    backdrop = nullptr;
    return;
  }
  backdrop = new Backdrop(this);
  backdrop->setGeometry(rect());
  backdrop->lower();
  backdrop->show();
}

bool Sheet::focusNextPrevChild(bool next) { return ReadingOrder::moveFocus(this, next); }

void Sheet::resizeEvent(QResizeEvent* event) {
  if (backdrop) backdrop->setGeometry(rect());
  QDialog::resizeEvent(event);
}

}  // namespace tidra
