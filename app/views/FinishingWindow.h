#pragma once

#include <QString>
#include <QWidget>

namespace tidra {

// The small window shown while quitting waits for a removal to finish, so the person (and the
// session) sees why Tidra has not gone yet.
class FinishingWindow : public QWidget {
public:
  explicit FinishingWindow(QWidget* parent = nullptr);

  static QString title();
  static QString message();
};

}  // namespace tidra
