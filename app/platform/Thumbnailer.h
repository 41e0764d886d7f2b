#pragma once

#include <QImage>
#include <QSize>

#include <memory>
#include <optional>
#include <string>

namespace tidra {

// Pictures of files and apps for rows and cells. `thumbnail` decodes and may run on any thread;
// the icons come from the icon theme and must be asked on the GUI thread. Icons always answer
// with an image, so a row never stays blank.
class Thumbnailer {
public:
  virtual ~Thumbnailer() = default;

  // The file's picture fitted into `pixels`, upright; nothing when it cannot be decoded.
  virtual std::optional<QImage> thumbnail(const std::string& path, QSize pixels) const = 0;
  // The icon the file manager shows for this very file (its content looked at when it exists).
  virtual QImage fileIcon(const std::string& path, QSize pixels) const = 0;
  // The icon of the type the path's extension names; generic data when it names none.
  virtual QImage typeIcon(const std::string& path, QSize pixels) const = 0;
  // The icon of an application, by its identifier or icon name in the icon theme, or the image
  // at an absolute path (a desktop entry's Icon= may name a file); else a generic program's.
  virtual QImage appIcon(const std::string& bundleID, QSize pixels) const = 0;

  // libvips decoding and the desktop's icon theme.
  static std::shared_ptr<Thumbnailer> live();
};

}  // namespace tidra
