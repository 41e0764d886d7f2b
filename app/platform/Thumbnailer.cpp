#include "platform/Thumbnailer.h"

#include "files/PhotoThumbnail.h"

#include <QFile>
#include <QIcon>
#include <QMimeDatabase>
#include <QPainter>

namespace tidra {

namespace {

// A plain sheet, for a desktop without an icon theme.
QImage blankSheet(QSize pixels) {
  QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setPen(QColor(150, 150, 150));
  painter.setBrush(QColor(245, 245, 245));
  const int margin = std::max(1, pixels.width() / 6);
  painter.drawRect(QRect(QPoint(margin, 1), QSize(pixels.width() - 2 * margin - 1, pixels.height() - 3)));
  return image;
}

QImage themed(const QStringList& names, QSize pixels) {
  for (const auto& name : names) {
    const QIcon icon = QIcon::fromTheme(name);
    if (!icon.isNull()) return icon.pixmap(pixels).toImage();
  }
  return blankSheet(pixels);
}

// Paths are bytes; the file name codec gives them back unchanged.
QString localPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

QImage mimeIcon(const QMimeType& type, QSize pixels) {
  return themed({type.iconName(), type.genericIconName(), "application-octet-stream", "text-x-generic"}, pixels);
}

class LiveThumbnailer final : public Thumbnailer {
public:
  std::optional<QImage> thumbnail(const std::string& path, QSize pixels) const override {
    const auto decoded = PhotoThumbnail::make(path);
    if (!decoded || decoded->width <= 0 || decoded->height <= 0) return std::nullopt;
    const QImage image(decoded->rgb.data(), decoded->width, decoded->height, decoded->width * 3,
                       QImage::Format_RGB888);
    // scaled() copies, so the result outlives the decoded buffer.
    return image.scaled(pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  }

  QImage fileIcon(const std::string& path, QSize pixels) const override {
    return mimeIcon(QMimeDatabase().mimeTypeForFile(localPath(path)), pixels);
  }

  QImage typeIcon(const std::string& path, QSize pixels) const override {
    return mimeIcon(QMimeDatabase().mimeTypeForFile(localPath(path), QMimeDatabase::MatchExtension),
                    pixels);
  }

  QImage appIcon(const std::string& bundleID, QSize pixels) const override {
    if (bundleID.starts_with('/')) {
      const QIcon file(localPath(bundleID));
      if (!file.isNull() && !file.availableSizes().isEmpty()) return file.pixmap(pixels).toImage();
    }
    return themed({QString::fromStdString(bundleID), "application-x-executable", "application-x-generic"}, pixels);
  }
};

}  // namespace

std::shared_ptr<Thumbnailer> Thumbnailer::live() { return std::make_shared<LiveThumbnailer>(); }

}  // namespace tidra
