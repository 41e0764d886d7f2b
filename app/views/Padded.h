#pragma once

class QWidget;

namespace tidra {

// `inner` in a frame that keeps the given margins (points) around it.
QWidget* padded(QWidget* inner, int left, int top, int right, int bottom);

}  // namespace tidra
