#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

class QWidget;

namespace tidra::test {

// Counts the paint events of a widget and of everything inside it, children made later
// included, so a test can say which parts of a screen a change redrew.
class PaintRecorder : public QObject {
public:
  explicit PaintRecorder(QWidget* root);

  // Lets every pending update be painted, then forgets the counts.
  void settleAndReset();
  // Lets every pending update be painted.
  static void settle();
  // Paint events of `widget` itself since the last reset.
  int paints(const QWidget* widget) const;
  // Paint events of `widget` and everything inside it since the last reset.
  int paintsWithin(const QWidget* widget) const;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void watch(QObject* object);

  QPointer<QWidget> root;
  QHash<const QObject*, int> counts;
};

}  // namespace tidra::test
