#include "views/design/Theme.h"

#include "views/design/Brand.h"
#include "views/design/Style.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QWidget>

namespace tidra::Theme {

namespace {

constexpr const char* kInterFolder = "/usr/share/fonts/opentype/inter";

QColor gray(qreal white, qreal alpha = 1.0) { return QColor::fromRgbF(white, white, white, alpha); }

QColor hex(QRgb rgb) { return QColor::fromRgb(rgb); }

QColor lightColor(Role role) {
  switch (role) {
    case Role::windowBackground: return gray(0.925);
    case Role::controlBackground: return gray(1.0);
    case Role::label: return gray(0.0, 0.85);
    case Role::secondaryLabel: return gray(0.0, 0.50);
    case Role::tertiaryLabel: return gray(0.0, 0.26);
    case Role::quaternaryLabel: return gray(0.0, 0.10);
    case Role::separator: return gray(0.0, 0.10);
    case Role::green: return hex(0x28CD41);
    case Role::orange: return hex(0xFF9500);
    case Role::red: return hex(0xFF3B30);
    case Role::yellow: return hex(0xFFCC00);
    case Role::gray: return hex(0x8E8E93);
  }
  return {};
}

QColor darkColor(Role role) {
  switch (role) {
    case Role::windowBackground: return gray(0.196);
    case Role::controlBackground: return gray(0.118);
    case Role::label: return gray(1.0, 0.85);
    case Role::secondaryLabel: return gray(1.0, 0.55);
    case Role::tertiaryLabel: return gray(1.0, 0.25);
    case Role::quaternaryLabel: return gray(1.0, 0.10);
    case Role::separator: return gray(1.0, 0.10);
    case Role::green: return hex(0x32D74B);
    case Role::orange: return hex(0xFF9F0A);
    case Role::red: return hex(0xFF453A);
    case Role::yellow: return hex(0xFFD60A);
    case Role::gray: return hex(0x98989D);
  }
  return {};
}

// Text over an opaque ground: the label colour blended onto it, as palettes cannot hold
// translucent text reliably across styles.
QColor solid(QColor over, const QColor& ground) {
  const qreal a = over.alphaF();
  return QColor::fromRgbF(over.redF() * a + ground.redF() * (1 - a), over.greenF() * a + ground.greenF() * (1 - a),
                          over.blueF() * a + ground.blueF() * (1 - a));
}

}  // namespace

QColor color(Role role, Scheme scheme) { return scheme == Scheme::dark ? darkColor(role) : lightColor(role); }

QColor color(Role role, const QWidget* widget) { return color(role, schemeOf(widget)); }

QColor Tint::resolve(const QWidget* widget) const { return fixed.isValid() ? fixed : color(role, widget); }

Scheme schemeOf(const QPalette& palette) {
  return palette.color(QPalette::Window).lightnessF() < 0.5 ? Scheme::dark : Scheme::light;
}

Scheme schemeOf(const QWidget* widget) { return schemeOf(widget->palette()); }

int pixelSize(TextStyle style) {
  switch (style) {
    case TextStyle::largeTitle: return 26;
    case TextStyle::title1: return 22;
    case TextStyle::title2: return 17;
    case TextStyle::title3: return 15;
    case TextStyle::headline: return 13;
    case TextStyle::body: return 13;
    case TextStyle::callout: return 12;
    case TextStyle::subheadline: return 11;
    case TextStyle::footnote: return 10;
    case TextStyle::caption: return 10;
  }
  return 13;
}

QFont font(TextStyle style, int weight) {
  QFont font(QStringLiteral("Inter"));
  font.setPixelSize(pixelSize(style));
  if (weight < 0) weight = style == TextStyle::headline ? QFont::DemiBold : QFont::Normal;
  font.setWeight(static_cast<QFont::Weight>(weight));
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

QPalette palette(Scheme scheme) {
  const QColor window = color(Role::windowBackground, scheme);
  const QColor base = color(Role::controlBackground, scheme);
  const QColor text = solid(color(Role::label, scheme), window);
  QPalette p;
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, solid(color(Role::quaternaryLabel, scheme), base));
  p.setColor(QPalette::Text, solid(color(Role::label, scheme), base));
  p.setColor(QPalette::PlaceholderText, solid(color(Role::tertiaryLabel, scheme), base));
  p.setColor(QPalette::Button, scheme == Scheme::dark ? gray(0.36) : gray(1.0));
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::Highlight, Brand::accent());
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::Link, Brand::accent());
  p.setColor(QPalette::ToolTipBase, base);
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::Light, scheme == Scheme::dark ? gray(0.45) : gray(1.0));
  p.setColor(QPalette::Midlight, scheme == Scheme::dark ? gray(0.30) : gray(0.9));
  p.setColor(QPalette::Mid, scheme == Scheme::dark ? gray(0.25) : gray(0.75));
  p.setColor(QPalette::Dark, scheme == Scheme::dark ? gray(0.1) : gray(0.6));
  p.setColor(QPalette::Shadow, Qt::black);
  p.setColor(QPalette::Disabled, QPalette::WindowText, solid(color(Role::tertiaryLabel, scheme), window));
  p.setColor(QPalette::Disabled, QPalette::Text, solid(color(Role::tertiaryLabel, scheme), base));
  p.setColor(QPalette::Disabled, QPalette::ButtonText, solid(color(Role::tertiaryLabel, scheme), window));
  return p;
}

bool loadFonts() {
  static const bool loaded = [] {
    const QDir folder(QString::fromLatin1(kInterFolder));
    for (const char* face : {"Inter-Regular.otf", "Inter-Medium.otf", "Inter-SemiBold.otf", "Inter-Bold.otf"})
      QFontDatabase::addApplicationFont(folder.filePath(QString::fromLatin1(face)));
    return QFontDatabase::hasFamily(QStringLiteral("Inter"));
  }();
  return loaded;
}

void apply(Scheme scheme) {
  loadFonts();
  QApplication::setStyle(new Style);
  QApplication::setPalette(palette(scheme));
  QApplication::setFont(font(TextStyle::body));
}

}  // namespace tidra::Theme
