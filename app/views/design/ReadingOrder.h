#pragma once

#include <QList>

class QWidget;

namespace tidra::ReadingOrder {

// The widgets inside `scope` that Tab can reach now (shown, enabled, taking Tab focus), in the
// order a person reads them: line by line from the top, and left to right within a line, each
// card read through before the next. Rows that arrive later (a list filled after a scan) take
// their place on screen, not at the end.
QList<QWidget*> of(QWidget* scope);

// Moves the focus inside `scope` to the next (or previous) widget in reading order, wrapping
// around, as Tab and Shift+Tab do; false when nothing there takes focus.
bool moveFocus(QWidget* scope, bool forward);

}  // namespace tidra::ReadingOrder
