#pragma once

#include <QWidget>

namespace tidra {

class AppModel;
class Banner;

// For screens that say nothing after a move to the Trash that went well: once this screen has
// moved something and the history could not take it, an orange "Moved to the Trash" with the
// reason and "Dismiss". It goes when the history is written again, on "Dismiss", or with the
// screen; a problem left by another screen's removal does not show here.
class HistoryNotice : public QWidget {
public:
  explicit HistoryNotice(const AppModel& model, QWidget* parent = nullptr);

  // This screen has just asked the model to move something.
  void removalStarted();

private:
  void refresh();
  void forget();

  const AppModel& model;
  bool removed = false;
  Banner* banner = nullptr;
};

}  // namespace tidra
