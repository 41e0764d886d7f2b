#include "support/TestMain.h"
#include "platform/PanelPlacement.h"

#include <QTest>

using namespace tidra;

// The tray's panel on a 1600×1000 screen whose available area leaves out a 30-point bar, or not.
class PanelPlacementTest : public QObject {
  Q_OBJECT

private slots:
  void staysOnScreen_data() {
    QTest::addColumn<QRect>("room");
    QTest::addColumn<QRect>("item");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("expected");
    const QRect top(0, 30, 1600, 970);
    const QRect bottom(0, 0, 1600, 970);
    QTest::newRow("tray at the top: under the item") << top << QRect(1400, 0, 30, 30) << QSize(320, 500)
                                                     << QRect(1280, 30, 320, 500);
    QTest::newRow("tray at the top, item at the left") << top << QRect(10, 0, 30, 30) << QSize(320, 500)
                                                       << QRect(10, 30, 320, 500);
    QTest::newRow("tray at the bottom: above the item") << bottom << QRect(1400, 970, 30, 30) << QSize(320, 500)
                                                        << QRect(1280, 470, 320, 500);
    QTest::newRow("tray at the bottom, the check open: grows upwards")
        << bottom << QRect(1400, 970, 30, 30) << QSize(320, 900) << QRect(1280, 70, 320, 900);
    QTest::newRow("taller than the screen: the room's height, scrolling inside")
        << bottom << QRect(1400, 970, 30, 30) << QSize(320, 1200) << QRect(1280, 0, 320, 970);
    QTest::newRow("tray at the top, taller than the room below")
        << top << QRect(1400, 0, 30, 30) << QSize(320, 1200) << QRect(1280, 30, 320, 970);
    // A tray that reserves no room: the item lies inside the available area.
    const QRect whole(0, 0, 1600, 1000);
    QTest::newRow("item inside the room at the top: under it, not over it")
        << whole << QRect(1400, 0, 30, 30) << QSize(320, 500) << QRect(1280, 30, 320, 500);
    QTest::newRow("item inside the room at the bottom: above it, not over it")
        << whole << QRect(1400, 970, 30, 30) << QSize(320, 500) << QRect(1280, 470, 320, 500);
    QTest::newRow("no item: at the pointer, pulled onto the screen")
        << bottom << QRect() << QSize(320, 500) << QRect(1280, 470, 320, 500);
  }

  void staysOnScreen() {
    QFETCH(QRect, room);
    QFETCH(QRect, item);
    QFETCH(QSize, size);
    QFETCH(QRect, expected);
    const QRect frame = PanelPlacement::frame(item, QPoint(1500, 990), size, room);
    QCOMPARE(frame, expected);
    QVERIFY(room.contains(frame));
    QVERIFY(!frame.intersects(item));
  }

  // The settings window on a 1000-point screen once opened at y 304 with 715 points of content,
  // its bottom past the screen's edge. It opens over the main window, inside the room with its
  // title bar.
  void windowsOpenInsideTheRoom_data() {
    QTest::addColumn<QRect>("over");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("centred over the main window") << QRect(300, 200, 980, 660) << QSize(500, 400)
                                                  << QRect(540, 315, 500, 400);
    QTest::newRow("a main window low on the screen: pulled up")
        << QRect(300, 304, 980, 660) << QSize(500, 715) << QRect(540, 255, 500, 715);
    QTest::newRow("no main window: the room's centre") << QRect() << QSize(500, 400) << QRect(550, 300, 500, 400);
    QTest::newRow("taller than the room: the room's height less the frame")
        << QRect(300, 200, 980, 660) << QSize(500, 1200) << QRect(540, 30, 500, 940);
    QTest::newRow("main window off the left edge") << QRect(-600, 200, 980, 660) << QSize(500, 400)
                                                    << QRect(0, 315, 500, 400);
  }

  void windowsOpenInsideTheRoom() {
    QFETCH(QRect, over);
    QFETCH(QSize, size);
    QFETCH(QRect, expected);
    const QRect room(0, 30, 1600, 970);
    const QMargins decoration(0, 30, 0, 0);
    const QRect placed = PanelPlacement::window(size, over, room, decoration);
    QCOMPARE(placed, expected);
    QVERIFY(room.contains(QRect(placed.topLeft(), placed.size().grownBy(decoration))));
  }
};

TIDRA_TEST_MAIN(PanelPlacementTest)
#include "PanelPlacementTest.moc"
