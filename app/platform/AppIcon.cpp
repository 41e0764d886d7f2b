#include "platform/AppIcon.h"

#include "platform/DesktopEntry.h"
#include "views/design/Brand.h"
#include "views/design/Symbols.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>

#include <cmath>

namespace tidra::AppIcon {

namespace {

// The drawing in a 128-unit square: the tile leaves the margin the hicolor icons keep, and the
// symbol fills most of the tile.
constexpr qreal unit = 128;
constexpr qreal margin = 8;
constexpr qreal corner = 26;
constexpr qreal symbolSize = 84;

QRectF tile() { return {margin, margin, unit - 2 * margin, unit - 2 * margin}; }

// The symbol's outline centred on the tile, by its drawn shape rather than its font metrics.
QPainterPath symbolOutline() {
  Symbols::loadFont();
  QPainterPath path;
  path.addText(QPointF(0, 0), Symbols::font(symbolSize), Symbols::glyph(u"sparkles"));
  return path.translated(tile().center() - path.boundingRect().center());
}

// Hundredths of a unit are finer than any pixel the icon is drawn at.
QString number(qreal value) { return QString::number(std::round(value * 100) / 100, 'g', 8); }

QString point(const QPainterPath::Element& e) { return number(e.x) + u' ' + number(e.y); }

// SVG path data for `path`: moves, lines and cubic curves are all a QPainterPath holds.
QString pathData(const QPainterPath& path) {
  QString data;
  for (int i = 0; i < path.elementCount(); ++i) {
    const QPainterPath::Element e = path.elementAt(i);
    if (e.isMoveTo()) {
      data += u'M' + point(e);
    } else if (e.isLineTo()) {
      data += u'L' + point(e);
    } else if (e.isCurveTo()) {
      data += u'C' + point(e) + u' ' + point(path.elementAt(i + 1)) + u' ' + point(path.elementAt(i + 2));
      i += 2;
    }
  }
  return data;
}

QString hex(const QColor& color) { return color.name(QColor::HexRgb); }

bool write(const QString& file, const QByteArray& bytes) {
  if (!QDir().mkpath(QFileInfo(file).absolutePath())) return false;
  QSaveFile out(file);
  return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.commit();
}

}  // namespace

void paint(QPainter& painter, const QRectF& rect) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(rect.topLeft());
  painter.scale(rect.width() / unit, rect.height() / unit);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Brand::gradient(tile()));
  painter.drawRoundedRect(tile(), corner, corner);
  painter.setBrush(Qt::white);
  painter.drawPath(symbolOutline());
  painter.restore();
}

QImage image(int pixels) {
  QImage out(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
  out.fill(Qt::transparent);
  QPainter painter(&out);
  paint(painter, QRectF(0, 0, pixels, pixels));
  return out;
}

QIcon icon() {
  QIcon out;
  for (const int pixels : pixelSizes()) out.addPixmap(QPixmap::fromImage(image(pixels)));
  return out;
}

const std::vector<int>& pixelSizes() {
  static const std::vector<int> sizes{16, 22, 24, 32, 48, 64, 128, 256, 512};
  return sizes;
}

QString svg() {
  const QRectF t = tile();
  const QPainterPath symbol = symbolOutline();
  return QStringLiteral(
             "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"128\" height=\"128\" viewBox=\"0 0 128 128\">\n"
             "  <defs>\n"
             "    <linearGradient id=\"brand\" gradientUnits=\"userSpaceOnUse\" x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\">\n"
             "      <stop offset=\"0\" stop-color=\"%5\"/>\n"
             "      <stop offset=\"1\" stop-color=\"%6\"/>\n"
             "    </linearGradient>\n"
             "  </defs>\n"
             "  <rect x=\"%1\" y=\"%2\" width=\"%7\" height=\"%7\" rx=\"%8\" fill=\"url(#brand)\"/>\n"
             "  <path fill=\"#ffffff\" fill-rule=\"%9\" d=\"%10\"/>\n"
             "</svg>\n")
      .arg(number(t.left()), number(t.top()), number(t.right()), number(t.bottom()), hex(Brand::teal()),
           hex(Brand::blue()), number(t.width()), number(corner),
           symbol.fillRule() == Qt::WindingFill ? QStringLiteral("nonzero") : QStringLiteral("evenodd"))
      .arg(pathData(symbol));
}

std::optional<QString> writeTheme(const QString& folder) {
  const QString name = DesktopEntry::id();
  const QString scalable = folder + QStringLiteral("/hicolor/scalable/apps/") + name + QStringLiteral(".svg");
  if (!write(scalable, svg().toUtf8())) return scalable;
  for (const int pixels : pixelSizes()) {
    const QString file = folder + QStringLiteral("/hicolor/%1x%1/apps/").arg(pixels) + name + QStringLiteral(".png");
    if (!QDir().mkpath(QFileInfo(file).absolutePath()) || !image(pixels).save(file, "PNG")) return file;
  }
  return std::nullopt;
}

}  // namespace tidra::AppIcon
