#pragma once

#include <QWidget>

class QVBoxLayout;

namespace tidra {

// One group of the settings form: a header, a card of rows with hairlines between them, and an
// optional footer that explains the group.
class FormSection : public QWidget {
public:
  FormSection(const QString& header, const QString& footer, QWidget* parent = nullptr);

  // `divided` draws the hairline above it; a note under the row before goes without.
  void addRow(QWidget* row, bool divided = true);
  // A row of `leading`, a flexible space and `control`.
  void addRow(QWidget* leading, QWidget* control);
  // A click on the label of a switch presses the switch.
  void addRow(const QString& label, QWidget* control);

private:
  QWidget* card;
  QVBoxLayout* rows;
};

}  // namespace tidra
