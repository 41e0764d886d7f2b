#pragma once

#include "files/DuplicateFile.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QMenu;

namespace tidra {
class DuplicatesModel;
class FileRevealer;
class StyledLabel;
}  // namespace tidra

namespace tidra::duplicates {

// One file of a set of identical files: its tick in the selection, a small picture, name,
// folder and date, and "Show in Folder" in its context menu. Asks the model for its picture
// the first time it is painted, so rows never scrolled to cost nothing.
class DuplicateRow : public QWidget {
public:
  DuplicateRow(DuplicateFile file, DuplicatesModel& model, FileRevealer& revealer, QWidget* parent = nullptr);

  // Rereads the tick and the picture from the model.
  void refresh();
  const DuplicateFile& file() const { return shown; }
  QCheckBox* checkBox() const { return check; }
  // The context menu, not yet shown; it deletes itself when closed.
  QMenu* makeMenu();

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

private:
  void elide();

  DuplicateFile shown;
  DuplicatesModel& model;
  FileRevealer& revealer;
  bool asked = false;
  qint64 pictureKey = 0;
  QCheckBox* check;
  QLabel* picture;
  StyledLabel* name;
  StyledLabel* folder;
};

}  // namespace tidra::duplicates
