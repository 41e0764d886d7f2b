#pragma once

#include <QWidget>

namespace tidra {
class StyledLabel;
}

namespace tidra::duplicates {

// A search under way: the spinning wheel and its progress line, centred in the pane.
class SearchProgress : public QWidget {
public:
  explicit SearchProgress(QWidget* parent = nullptr);
  void setText(const QString& text);

private:
  StyledLabel* line;
};

}  // namespace tidra::duplicates
