#pragma once

#include <QWidget>

class QBoxLayout;
class QCheckBox;

namespace tidra {

class StyledLabel;
class SymbolView;

// A row of a list whose entries are chosen by ticking them: the checkbox (a lock where the
// entry cannot be chosen), the title followed by its badges, lines under the title, and
// trailing parts such as the size, aligned to the top.
class CheckRow : public QWidget {
public:
  explicit CheckRow(QWidget* parent = nullptr);

  QCheckBox* checkBox() const { return check; }

protected:
  void addBadge(QWidget* badge);
  // A wrapping line under the title.
  void addLine(StyledLabel* line);
  void addTrailing(QWidget* part);

  QCheckBox* const check;
  SymbolView* const lock;
  StyledLabel* const title;

private:
  QBoxLayout* row;
  QBoxLayout* heading;
  QBoxLayout* lines;
};

}  // namespace tidra
