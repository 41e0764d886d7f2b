#include "support/TestMain.h"
#include "views/design/Symbols.h"

#include "cleanup/CleanupCategory.h"

#include <QFile>
#include <QFontDatabase>
#include <QHash>
#include <QRawFont>
#include <QRegularExpression>
#include <QTest>

using namespace tidra;

namespace {

// Names the screens draw (sidebar, cards, banners, rows, the panel) and the slowness findings
// carry; the cleanup categories come from the engine itself.
const QStringList& namesInUse() {
  static const QStringList names{
      "gauge.with.dots.needle.50percent", "sparkles", "folder.badge.gearshape", "doc.viewfinder", "doc.on.doc",
      "square.grid.2x2", "memorychip", "arrow.clockwise", "arrow.triangle.branch", "checkmark.circle",
      "checkmark.circle.fill", "checkmark.seal.fill", "clock.arrow.circlepath", "doc", "ellipsis.circle",
      "exclamationmark.triangle", "exclamationmark.triangle.fill", "eye.slash", "folder", "gearshape",
      "gearshape.fill", "hammer", "hammer.fill", "info.circle", "info.circle.fill", "internaldrive", "iphone",
      "lock", "moon.zzz.fill", "network", "photo.on.rectangle", "photo.on.rectangle.angled", "power",
      "shippingbox", "shippingbox.fill", "smartphone", "stethoscope", "text.cursor", "trash",
      // Slowness findings.
      "thermometer.high", "cpu", "magnifyingglass", "battery.25percent", "moon.zzz", "macwindow.on.rectangle",
  };
  return names;
}

QHash<QString, char32_t> packageCodepoints() {
  QFile file("/usr/share/fonts-material-design-icons-iconfont/scss/_variables.scss");
  if (!file.open(QIODevice::ReadOnly)) return {};
  QHash<QString, char32_t> points;
  static const QRegularExpression entry(QStringLiteral("\"([a-z0-9_]+)\": ([0-9a-f]+)"));
  for (auto match = entry.globalMatch(QString::fromUtf8(file.readAll())); match.hasNext();) {
    const auto m = match.next();
    points.insert(m.captured(1), m.captured(2).toUInt(nullptr, 16));
  }
  return points;
}

}  // namespace

class SymbolsTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { QVERIFY(Symbols::loadFont()); }

  void everyNameInUseIsMapped() {
    QStringList names = namesInUse();
    for (const CleanupCategory category : allCleanupCategories())
      names.append(QString::fromUtf8(symbol(category).data(), static_cast<qsizetype>(symbol(category).size())));
    for (const QString& name : names) QVERIFY2(Symbols::isKnown(name), qPrintable(name));
  }

  void everyGlyphIsInTheFontAtThePackagesCodepoint() {
    const auto points = packageCodepoints();
    QVERIFY2(!points.isEmpty(), "the font package's codepoint list is missing");
    const QRawFont font = QRawFont::fromFont(Symbols::font(24));
    QVERIFY(font.isValid());
    QCOMPARE(font.familyName(), QStringLiteral("Material Icons"));
    for (const Symbols::Entry& entry : Symbols::table()) {
      const QString material = QString::fromLatin1(entry.material);
      QVERIFY2(points.contains(material), entry.material);
      QCOMPARE(entry.codepoint, points.value(material));
      QVERIFY2(font.supportsCharacter(entry.codepoint), entry.name);
    }
    QVERIFY(font.supportsCharacter(Symbols::fallbackCodepoint()));
  }

  void unknownNamesDrawTheFallback() {
    for (const QString& name : {QString(), QStringLiteral("no.such.symbol"), QStringLiteral("Trash")}) {
      QVERIFY(!Symbols::isKnown(name));
      QCOMPARE(Symbols::codepoint(name), Symbols::fallbackCodepoint());
    }
    QCOMPARE(Symbols::codepoint(u"trash"), char32_t{0xe872});
    QCOMPARE(Symbols::glyph(u"trash"), QString(QChar(0xe872)));
  }

  void namesAreUnique() {
    QSet<QString> seen;
    for (const Symbols::Entry& entry : Symbols::table()) {
      QVERIFY2(!seen.contains(entry.name), entry.name);
      seen.insert(entry.name);
    }
  }

  void iconsAreDrawn() {
    const QImage image = Symbols::icon(u"memorychip", Qt::black, 24).pixmap(24, 24).toImage();
    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) inked += qAlpha(image.pixel(x, y)) > 128;
    QVERIFY(inked > 40);
  }
};

TIDRA_TEST_MAIN(SymbolsTest)
#include "SymbolsTest.moc"
