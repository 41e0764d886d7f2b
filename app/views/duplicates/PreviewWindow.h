#pragma once

#include "views/design/Sheet.h"

#include <QImage>

#include <memory>
#include <string>

class QLabel;

namespace tidra {
class Thumbnailer;
}

namespace tidra::duplicates {

// A larger look at one file: its picture, decoded on a worker (the row's small picture stands
// in meanwhile), else the file's icon. Closing it is the caller's cue to forget the preview.
class PreviewWindow : public Sheet {
public:
  PreviewWindow(const std::string& path, const QImage& standIn, std::shared_ptr<Thumbnailer> thumbnailer,
                QWidget* parent);

  const std::string& path() const { return file; }
  QImage picture() const { return shownPicture; }

  static constexpr QSize pictureSize{1200, 900};

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  void showPicture(const QImage& image);

  std::string file;
  QImage shownPicture;
  QLabel* view;
};

}  // namespace tidra::duplicates
