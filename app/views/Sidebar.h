#pragma once

#include "models/Section.h"
#include "views/design/Theme.h"

#include <QColor>
#include <QListWidget>
#include <QString>

#include <optional>
#include <vector>

namespace tidra {

class AppModel;

// The main window's list of the seven sections. Its selection is the model's `section`: a click
// writes it, and any other write of `section` moves the highlight. Deselecting the highlighted
// row leaves no section selected.
class Sidebar : public QListWidget {
public:
  struct Row {
    Section section;
    QString title;
    QString symbol;
  };
  // The rows, in sidebar order; no row is ever hidden or disabled.
  static const std::vector<Row>& rows();

  // The fixed label colours of screenshot mode, so images look the same on every desktop.
  struct LabelColors {
    QColor text;
    QColor symbol;
  };
  static LabelColors snapshotColors(Theme::Scheme scheme);

  static constexpr int narrowest = 170;
  static constexpr int ideal = 190;
  static constexpr int widest = 240;

  explicit Sidebar(AppModel& model, QWidget* parent = nullptr);

  // The section whose row is highlighted; none when no row is.
  std::optional<Section> highlighted() const;

protected:
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

private:
  void showSection();
  void takeSelection();
  // Row colours follow the appearance, or stay fixed in screenshot mode.
  void applyLook();

  AppModel& model;
  LabelColors colors;
};

}  // namespace tidra
