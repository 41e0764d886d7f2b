#pragma once

#include "models/Section.h"

#include <functional>
#include <optional>

class QWidget;

namespace tidra {

class AppModel;

// Brings the main window forward at a section, for the menu-bar panel and for a click on any
// notification. One shared instance on the GUI thread.
class WindowOpener {
public:
  static WindowOpener& shared();

  // Opens the main window when none is shown; set by whoever can build one (the menu-bar
  // item). Until then, show() with no main window shown opens nothing.
  std::function<void()> openMain;

  // Selects `section` when given (else the selection stays), then raises and activates the
  // first visible top-level window whose object name contains "main", or calls `openMain`
  // and activates the window it opened.
  void show(std::optional<Section> section, AppModel& model);

  // The first visible top-level window whose object name contains "main"; none when closed.
  static QWidget* visibleMainWindow();
};

}  // namespace tidra
