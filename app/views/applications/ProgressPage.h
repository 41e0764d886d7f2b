#pragma once

#include <QString>
#include <QWidget>

namespace tidra {

class StyledLabel;

// A screen's page while its model works: the spinner with one line under it, centred.
class ProgressPage : public QWidget {
public:
  explicit ProgressPage(const QString& text = {}, QWidget* parent = nullptr);

  void setText(const QString& text);
  StyledLabel* label() const { return line; }

private:
  StyledLabel* line;
};

}  // namespace tidra
