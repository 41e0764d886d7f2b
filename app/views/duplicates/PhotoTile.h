#pragma once

#include <QImage>
#include <QWidget>

namespace tidra::duplicates {

// The picture of a photo cell: the photo covering the tile in rounded corners, a faint
// placeholder until it arrives, and a 3-point accent ring while the photo is selected.
class PhotoTile : public QWidget {
public:
  explicit PhotoTile(QWidget* parent = nullptr);

  void setPicture(const QImage& picture);
  void setSelected(bool selected);
  bool selected() const { return ringed; }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QImage picture;
  bool ringed = false;
};

}  // namespace tidra::duplicates
