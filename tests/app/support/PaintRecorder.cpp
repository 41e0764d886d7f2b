#include "support/PaintRecorder.h"

#include <QApplication>
#include <QChildEvent>
#include <QWidget>

namespace tidra::test {

PaintRecorder::PaintRecorder(QWidget* root) : root(root) { watch(root); }

void PaintRecorder::watch(QObject* object) {
  object->installEventFilter(this);
  connect(object, &QObject::destroyed, this, [this](QObject* gone) { counts.remove(gone); });
  for (QObject* child : object->children()) watch(child);
}

// Updates travel as posted requests; a few rounds take the layouts' own follow-ups too.
void PaintRecorder::settle() {
  for (int round = 0; round < 5; ++round) {
    QCoreApplication::sendPostedEvents();
    QApplication::processEvents();
  }
}

void PaintRecorder::settleAndReset() {
  settle();
  counts.clear();
}

int PaintRecorder::paints(const QWidget* widget) const { return counts.value(widget); }

int PaintRecorder::paintsWithin(const QWidget* widget) const {
  int total = 0;
  for (auto it = counts.begin(); it != counts.end(); ++it) {
    const auto* painted = qobject_cast<const QWidget*>(it.key());
    if (painted && (painted == widget || widget->isAncestorOf(painted))) total += it.value();
  }
  return total;
}

bool PaintRecorder::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Paint) ++counts[watched];
  if (event->type() == QEvent::ChildAdded) watch(static_cast<QChildEvent*>(event)->child());
  return false;
}

}  // namespace tidra::test
