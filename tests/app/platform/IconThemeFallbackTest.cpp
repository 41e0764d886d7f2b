#include "support/TestMain.h"
#include "platform/IconThemeFallback.h"
#include "platform/Thumbnailer.h"

#include <QIcon>
#include <QTest>

using namespace tidra;

namespace {

// Opaque, nearly white pixels: what a blank sheet is made of.
int whitePixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.alpha() > 200 && c.lightness() > 230) ++count;
    }
  return count;
}

bool drawsSomething(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y).alpha() > 100) return true;
  return false;
}

}  // namespace

// Under a bare window manager Qt names the "hicolor" theme, which has no file or program icons:
// Tidra then takes a complete theme, and a type without an icon of its own gets a glyph, never a
// blank white sheet.
class IconThemeFallbackTest : public QObject {
  Q_OBJECT

  const QSize size{48, 48};

private slots:
  void init() { QIcon::setThemeName(QStringLiteral("hicolor")); }

  void hicolorIsReplacedByACompleteTheme() {
    QVERIFY(!IconThemeFallback::hasGenericIcons());
    QVERIFY(IconThemeFallback::apply());
    QCOMPARE(QIcon::themeName(), QStringLiteral("Adwaita"));
    QVERIFY(IconThemeFallback::hasGenericIcons());
    QVERIFY(!IconThemeFallback::apply());
  }

  void noThemeAtAllIsReplacedToo() {
    QIcon::setThemeName(QString());
    QVERIFY(IconThemeFallback::apply());
    QVERIFY(IconThemeFallback::hasGenericIcons());
  }

  void typesWithoutAnIconOfTheirOwnGetAGlyph_andTheRestTheirIcon() {
    IconThemeFallback::apply();
    const auto thumbnailer = Thumbnailer::live();
    for (const char* path : {"/nowhere/disc.iso", "/nowhere/table.parquet", "/nowhere/setup.dmg"}) {
      const QImage icon = thumbnailer->typeIcon(path, size);
      QVERIFY2(drawsSomething(icon), path);
      QVERIFY2(whitePixels(icon) == 0, path);
    }
    const QImage text = thumbnailer->typeIcon("/nowhere/notes.txt", size);
    QVERIFY(whitePixels(text) > size.width() * size.height() / 8);  // Adwaita's own text icon
    const QImage program = thumbnailer->appIcon("org.example.Unknown", size);
    QVERIFY(drawsSomething(program));
  }
};

TIDRA_TEST_MAIN(IconThemeFallbackTest)
#include "IconThemeFallbackTest.moc"
