#include "models/WindowOpener.h"

#include "models/AppModel.h"

#include <QApplication>
#include <QWidget>

namespace tidra {

namespace {

void bringForward(QWidget* window) {
  if (window->isMinimized()) window->showNormal();
  window->raise();
  window->activateWindow();
}

}  // namespace

WindowOpener& WindowOpener::shared() {
  static WindowOpener opener;
  return opener;
}

QWidget* WindowOpener::visibleMainWindow() {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible() && window->objectName().contains(QStringLiteral("main"))) return window;
  return nullptr;
}

void WindowOpener::show(std::optional<Section> section, AppModel& model) {
  if (section) model.setSection(section);
  if (QWidget* window = visibleMainWindow()) return bringForward(window);
  if (!openMain) return;
  openMain();
  if (QWidget* window = visibleMainWindow()) bringForward(window);
}

}  // namespace tidra
