#pragma once

#include <QWidget>

namespace tidra {
class Button;
class IconChip;
class StyledLabel;
}  // namespace tidra

namespace tidra::projects {

// Heads a section of the projects list: chip, title, an optional "changed …" line, the
// section's "Select All"/"Deselect All" and what removing the whole section frees.
class SectionHeader : public QWidget {
  Q_OBJECT

public:
  SectionHeader(const QString& symbol, QWidget* parent = nullptr);
  void update(const QString& title, const QString& subtitle, bool allSelected, const QString& bytes);
  Button* toggleButton() const { return toggle; }

signals:
  void togglePressed();

private:
  IconChip* chip;
  StyledLabel* title;
  StyledLabel* subtitle;
  Button* toggle;
  StyledLabel* size;
};

}  // namespace tidra::projects
