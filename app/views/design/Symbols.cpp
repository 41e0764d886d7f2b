#include "views/design/Symbols.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace tidra::Symbols {

namespace {

constexpr const char* kFontFile = "/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf";
constexpr const char* kFamily = "Material Icons";

}  // namespace

// Codepoints from the font package's scss/_variables.scss; a test checks each against it.
const std::vector<Entry>& table() {
  static const std::vector<Entry> entries{
      // Sidebar sections.
      {"gauge.with.dots.needle.50percent", "speed", 0xe9e4},
      {"sparkles", "auto_awesome", 0xe65f},
      {"folder.badge.gearshape", "snippet_folder", 0xf1c7},
      {"doc.viewfinder", "find_in_page", 0xe880},
      {"doc.on.doc", "file_copy", 0xe173},
      {"square.grid.2x2", "grid_view", 0xe9b0},
      {"memorychip", "memory", 0xe322},
      // Cleanup categories.
      {"hammer", "hardware", 0xea59},
      {"iphone.gen2", "smartphone", 0xe32c},
      {"curlybraces", "data_object", 0xead3},
      {"bird", "flutter_dash", 0xe00b},
      {"shippingbox", "inventory_2", 0xe1a1},
      {"wrench.and.screwdriver", "handyman", 0xf10b},
      {"square.stack.3d.up", "layers", 0xe53b},
      {"externaldrive", "backup", 0xe864},
      {"archivebox", "archive", 0xe149},
      {"arrow.down.circle", "arrow_circle_down", 0xf181},
      {"trash", "delete", 0xe872},
      // Slowness findings.
      {"thermometer.high", "thermostat", 0xf076},
      {"internaldrive", "storage", 0xe1db},
      {"cpu", "developer_board", 0xe30d},
      {"magnifyingglass", "search", 0xe8b6},
      {"clock.arrow.circlepath", "history", 0xe889},
      {"battery.25percent", "battery_2_bar", 0xebe0},
      {"moon.zzz", "bedtime", 0xef44},
      {"macwindow.on.rectangle", "web_asset", 0xe069},
      // Screens, panel and settings.
      {"arrow.clockwise", "refresh", 0xe5d5},
      {"arrow.triangle.branch", "alt_route", 0xf184},
      {"checkmark.circle", "check_circle_outline", 0xe92d},
      {"checkmark.circle.fill", "check_circle", 0xe86c},
      {"checkmark.seal.fill", "verified", 0xef76},
      {"doc", "description", 0xe873},
      {"ellipsis.circle", "more_horiz", 0xe5d3},
      {"exclamationmark.triangle", "warning_amber", 0xf083},
      {"exclamationmark.triangle.fill", "warning", 0xe002},
      {"eye.slash", "visibility_off", 0xe8f5},
      {"folder", "folder", 0xe2c7},
      {"gearshape", "settings", 0xe8b8},
      {"gearshape.fill", "settings", 0xe8b8},
      {"hammer.fill", "hardware", 0xea59},
      {"info.circle", "info_outline", 0xe88f},
      {"info.circle.fill", "info", 0xe88e},
      {"iphone", "phone_iphone", 0xe325},
      {"smartphone", "phone_android", 0xe324},
      {"lock", "lock", 0xe897},
      {"moon.zzz.fill", "bedtime", 0xef44},
      {"network", "lan", 0xeb2f},
      {"photo.on.rectangle", "photo_library", 0xe413},
      {"photo.on.rectangle.angled", "collections", 0xe3b6},
      {"power", "power_settings_new", 0xe8ac},
      {"shippingbox.fill", "inventory_2", 0xe1a1},
      {"stethoscope", "monitor_heart", 0xeaa2},
      {"text.cursor", "text_fields", 0xe262},
      {"chevron.left.forwardslash.chevron.right", "code", 0xe86f},
      // Generic controls: close, add and remove, disclosure.
      {"xmark", "close", 0xe5cd},
      {"plus", "add", 0xe145},
      {"minus", "remove", 0xe15b},
      {"checkmark", "check", 0xe5ca},
      {"chevron.right", "chevron_right", 0xe5cc},
      {"chevron.down", "expand_more", 0xe5cf},
  };
  return entries;
}

char32_t fallbackCodepoint() { return 0xe8fd; }  // help_outline

bool isKnown(QStringView name) {
  for (const Entry& entry : table())
    if (name == QLatin1String(entry.name)) return true;
  return false;
}

char32_t codepoint(QStringView name) {
  for (const Entry& entry : table())
    if (name == QLatin1String(entry.name)) return entry.codepoint;
  return fallbackCodepoint();
}

QString glyph(QStringView name) {
  const char32_t point = codepoint(name);
  return QString::fromUcs4(&point, 1);
}

bool loadFont() {
  static const bool loaded = [] {
    QFontDatabase::addApplicationFont(QString::fromLatin1(kFontFile));
    return QFontDatabase::hasFamily(QString::fromLatin1(kFamily));
  }();
  return loaded;
}

QFont font(qreal pixelSize) {
  loadFont();
  QFont font(QString::fromLatin1(kFamily));
  font.setPixelSize(std::max(1, qRound(pixelSize)));
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

void draw(QPainter& painter, const QRectF& rect, QStringView name, const QColor& color, qreal pixelSize) {
  painter.save();
  painter.setFont(font(pixelSize));
  painter.setPen(color);
  painter.drawText(rect, Qt::AlignCenter, glyph(name));
  painter.restore();
}

QIcon icon(QStringView name, const QColor& color, int pixelSize) {
  QIcon icon;
  for (const qreal ratio : {1.0, 2.0}) {
    QPixmap pixmap(QSize(pixelSize, pixelSize) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter, QRectF(0, 0, pixelSize, pixelSize), name, color, pixelSize);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace tidra::Symbols
