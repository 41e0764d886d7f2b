#include "support/TestMain.h"
#include "demo/DemoPhotoArt.h"

#include <QTest>

#include <set>

using namespace tidra;

namespace {

const QSize kCanvas(400, 300);

// Colour distance in 0...255 units, the largest channel difference.
int distance(QRgb a, QRgb b) {
  return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// The sun is white at 0.82 opacity: every channel well above the sky behind it.
bool isSun(QRgb colour) { return std::min({qRed(colour), qGreen(colour), qBlue(colour)}) > 200; }

QRgb rgb(double r, double g, double b) { return QColor::fromRgbF(float(r), float(g), float(b)).rgb(); }

// The colour at canvas point (x, y), y counted upwards from the bottom edge.
QRgb at(const QImage& image, int x, int y) { return image.pixel(x, image.height() - 1 - y); }

} // namespace

class DemoPhotoArtTest : public QObject {
  Q_OBJECT

private slots:
  void everySceneIsAPictureAtTheSizeAsked() {
    for (int scene = 0; scene < 4; ++scene) {
      const QImage image = DemoPhotoArt::image(scene, 0, QSize(160, 120));
      QCOMPARE(image.size(), QSize(160, 120));
      std::set<QRgb> colours;
      for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4) colours.insert(image.pixel(x, y));
      QVERIFY2(colours.size() > 20, qPrintable(QString("scene %1 has %2 colours").arg(scene).arg(colours.size())));
    }
    QVERIFY(DemoPhotoArt::image(0, 0, QSize(0, 120)).isNull());
  }

  void scenesPickPalettesModuloFour() {
    const QImage first = DemoPhotoArt::image(0, 0, kCanvas);
    QCOMPARE(DemoPhotoArt::image(4, 0, kCanvas), first);
    QCOMPARE(DemoPhotoArt::image(8, 0, kCanvas), first);
    QCOMPARE(DemoPhotoArt::image(-4, 0, kCanvas), first);
    for (int a = 0; a < 4; ++a)
      for (int b = a + 1; b < 4; ++b)
        QVERIFY2(DemoPhotoArt::image(a, 0, kCanvas) != DemoPhotoArt::image(b, 0, kCanvas),
                 qPrintable(QString("scenes %1 and %2").arg(a).arg(b)));
  }

  void variantsDifferAndRepeatExactly() {
    const QImage base = DemoPhotoArt::image(1, 0, kCanvas);
    QCOMPARE(DemoPhotoArt::image(1, 0, kCanvas), base);
    QVERIFY(DemoPhotoArt::image(1, 1, kCanvas) != base);
    QVERIFY(DemoPhotoArt::image(1, 2, kCanvas) != DemoPhotoArt::image(1, 1, kCanvas));
    // A variant far out only moves things out of the frame.
    QCOMPARE(DemoPhotoArt::image(1, 500, kCanvas).size(), kCanvas);
  }

  // The canvas is drawn with y upwards: sky on top, water at the bottom, the sun and the ridge
  // where the variant puts them.
  void drawsTheLandscapeTheRightWayUp() {
    const QImage image = DemoPhotoArt::image(0, 0, kCanvas);
    QVERIFY(distance(at(image, 10, 299), rgb(0.20, 0.42, 0.78)) <= 3);
    QVERIFY(distance(at(image, 200, 97), rgb(0.16, 0.36, 0.56)) <= 3);
    QVERIFY(distance(at(image, 200, 0), rgb(0.16 * 0.55, 0.36 * 0.55, 0.56 * 0.55)) <= 3);
    QVERIFY(distance(at(image, 230, 200), rgb(0.18, 0.20, 0.30)) <= 2);
    QVERIFY(isSun(at(image, 268, 206)));

    // Variant 1 moves the peak to x = 223 and the sun's centre to (275, 202.5).
    const QImage moved = DemoPhotoArt::image(0, 1, kCanvas);
    QVERIFY(distance(at(moved, 223, 208), rgb(0.18, 0.20, 0.30)) <= 2);
    QVERIFY(distance(at(moved, 232, 208), rgb(0.18, 0.20, 0.30)) > 10);
    QVERIFY(isSun(at(moved, 300, 202)));
    QVERIFY(!isSun(at(image, 300, 202)));
  }
};

TIDRA_TEST_MAIN(DemoPhotoArtTest)
#include "DemoPhotoArtTest.moc"
