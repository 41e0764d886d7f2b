#include "support/TestMain.h"
#include "platform/Thumbnailer.h"

#include "support/TempHome.h"

#include <QTest>

using namespace tidra;

class ThumbnailerTest : public QObject {
  Q_OBJECT

private slots:
  void decodesPicturesAndRefusesTheRest() {
    test::TempHome home;
    QImage photo(640, 480, QImage::Format_RGB32);
    photo.fill(QColor(20, 120, 200));
    const std::string path = home.path("photo.jpg");
    QVERIFY(photo.save(QString::fromStdString(path), "JPG"));
    const auto thumbnailer = Thumbnailer::live();

    const auto picture = thumbnailer->thumbnail(path, QSize(80, 80));
    QVERIFY(picture.has_value());
    QCOMPARE(picture->size(), QSize(80, 60));
    QVERIFY(qAbs(QColor(picture->pixel(40, 30)).blue() - 200) < 16);

    for (const auto& broken : {home.text("fake.jpg", "not a picture"), home.path("missing.jpg")})
      QVERIFY(!thumbnailer->thumbnail(broken, QSize(80, 80)).has_value());
  }

  void iconsAlwaysGiveAnImage() {
    const auto thumbnailer = Thumbnailer::live();
    const QSize size(64, 64);
    QVERIFY(!thumbnailer->fileIcon("/nowhere/file.pdf", size).isNull());
    QVERIFY(!thumbnailer->typeIcon("/nowhere/file", size).isNull());
    QVERIFY(!thumbnailer->appIcon("org.example.Unknown", size).isNull());
  }
};

TIDRA_TEST_MAIN(ThumbnailerTest)
#include "ThumbnailerTest.moc"
