#pragma once

#include <QObject>

#include <functional>

class QVariantAnimation;

namespace tidra {

// Moves a progress from 0 to 1 along a critically damped spring and reports each step. With
// motion off it reports 1 at once, synchronously. Starting again restarts from 0; the owner
// keeps its own "from" and "to" values and interpolates.
class Spring : public QObject {
  Q_OBJECT
public:
  Spring(double response, std::function<void(double progress)> onStep, QObject* parent);

  void start();
  bool isRunning() const;

private:
  std::function<void(double)> onStep;
  QVariantAnimation* animation;
};

}  // namespace tidra
