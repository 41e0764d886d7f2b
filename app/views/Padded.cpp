#include "views/Padded.h"

#include <QVBoxLayout>
#include <QWidget>

namespace tidra {

QWidget* padded(QWidget* inner, int left, int top, int right, int bottom) {
  auto* frame = new QWidget;
  auto* layout = new QVBoxLayout(frame);
  layout->setContentsMargins(left, top, right, bottom);
  layout->addWidget(inner);
  return frame;
}

}  // namespace tidra
