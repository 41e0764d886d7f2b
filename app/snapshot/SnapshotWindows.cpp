#include "snapshot/Snapshot.h"

#include <QApplication>
#include <QMainWindow>
#include <QWindow>

namespace tidra::Snapshot {

namespace {

bool isWindow(const QWidget* widget) {
  const auto type = widget->windowType();
  return type != Qt::Popup && type != Qt::ToolTip && type != Qt::Desktop;
}

bool hasTitleBar(const QWidget* widget) {
  const auto type = widget->windowType();
  const bool framed = type == Qt::Window || type == Qt::Dialog || type == Qt::Sheet || type == Qt::Tool;
  return framed && !widget->windowFlags().testFlag(Qt::FramelessWindowHint);
}

// Sheets are window-modal dialogs on a parent window; a shot of the main window never takes one.
bool isSheet(const QWidget* widget) {
  return widget->windowType() == Qt::Sheet ||
         (widget->parentWidget() != nullptr && widget->windowModality() == Qt::WindowModal);
}

// A main window without its central widget has nothing to show yet.
bool hasContent(const QWidget* widget) {
  const auto* main = qobject_cast<const QMainWindow*>(widget);
  return main == nullptr || main->centralWidget() != nullptr;
}

bool isCandidate(const QWidget* widget) {
  return widget->isVisible() && !isSheet(widget) && hasTitleBar(widget);
}

}  // namespace

QList<QWidget*> windows() {
  const QList<QWidget*> widgets = QApplication::topLevelWidgets();
  QList<QWidget*> ordered;
  for (QWindow* window : QGuiApplication::topLevelWindows())
    for (QWidget* widget : widgets)
      if (widget->windowHandle() == window && isWindow(widget)) ordered.push_back(widget);
  for (QWidget* widget : widgets)
    if (widget->windowHandle() == nullptr && isWindow(widget)) ordered.push_back(widget);
  return ordered;
}

QWidget* mainWindow() {
  const QList<QWidget*> all = windows();
  for (QWidget* widget : all)
    if (isCandidate(widget) && hasContent(widget) && widget->objectName().contains(QStringLiteral("main")))
      return widget;
  for (QWidget* widget : all)
    if (isCandidate(widget)) return widget;
  return nullptr;
}

QWidget* firstTitledWindow() {
  for (QWidget* widget : windows())
    if (hasTitleBar(widget) && hasContent(widget)) return widget;
  return nullptr;
}

}  // namespace tidra::Snapshot
