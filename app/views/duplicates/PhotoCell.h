#pragma once

#include "files/SimilarPhotoGroup.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QMenu;

namespace tidra {
class FileRevealer;
class SimilarPhotosModel;
class StyledLabel;
}  // namespace tidra

namespace tidra::duplicates {

class PhotoTile;

// One photo of a set: its picture with a tick, an accent ring while selected and "Best" on the
// one to keep, then its name and "width × height · size". A double click or "Preview" asks
// `open` to preview it; the picture is asked for the first time the cell is painted.
class PhotoCell : public QWidget {
public:
  using Open = std::function<void(const std::string& path)>;

  PhotoCell(SimilarPhoto photo, bool isBest, SimilarPhotosModel& model, FileRevealer& revealer, Open open,
            QWidget* parent = nullptr);

  void refresh();
  const SimilarPhoto& photo() const { return shown; }
  bool isBest() const { return best; }
  bool isSelected() const;
  QCheckBox* checkBox() const { return check; }
  // The context menu, not yet shown; it deletes itself when closed.
  QMenu* makeMenu();

  static constexpr int tileHeight = 118;

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

private:
  void preview();

  SimilarPhoto shown;
  bool best;
  SimilarPhotosModel& model;
  FileRevealer& revealer;
  Open open;
  bool asked = false;
  PhotoTile* tile;
  QCheckBox* check;
  StyledLabel* name;
  StyledLabel* caption;
};

}  // namespace tidra::duplicates
