#include "platform/Thumbnailer.h"

#include "files/PhotoThumbnail.h"
#include "views/design/Symbols.h"
#include "views/design/Theme.h"

#include <QFile>
#include <QIcon>
#include <QMimeDatabase>
#include <QPainter>

namespace tidra {

namespace {

// The catch-all icon of icon themes: a blank white sheet, which says nothing about the file and
// shows as a white slab on dark rows.
const QString blankSheet = QStringLiteral("application-x-generic");

// For what the theme has no icon of its own: a symbol in the grey that reads on light and on
// dark rows alike.
QImage neutralGlyph(QStringView symbol, QSize pixels) {
  QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::TextAntialiasing);
  Symbols::draw(painter, QRectF(QPointF(0, 0), pixels), symbol,
                Theme::color(Theme::Role::gray, Theme::Scheme::light), 0.8 * std::min(pixels.width(), pixels.height()));
  return image;
}

std::optional<QImage> themed(const QStringList& names, QSize pixels) {
  for (const auto& name : names) {
    if (name.isEmpty() || name == blankSheet) continue;
    const QIcon icon = QIcon::fromTheme(name);
    if (!icon.isNull()) return icon.pixmap(pixels).toImage();
  }
  return std::nullopt;
}

// Paths are bytes; the file name codec gives them back unchanged.
QString localPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

QImage mimeIcon(const QMimeType& type, QSize pixels) {
  return themed({type.iconName(), type.genericIconName()}, pixels).value_or(neutralGlyph(u"doc", pixels));
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
    return themed({QString::fromStdString(bundleID), "application-x-executable"}, pixels)
        .value_or(neutralGlyph(u"square.grid.2x2", pixels));
  }
};

}  // namespace

std::shared_ptr<Thumbnailer> Thumbnailer::live() { return std::make_shared<LiveThumbnailer>(); }

}  // namespace tidra
