#include "support/TestMain.h"
#include "views/design/Appearance.h"
#include "views/design/Backdrop.h"
#include "views/design/ElidedLabel.h"
#include "views/design/FlowLayout.h"
#include "views/design/GlassCard.h"
#include "views/design/MeterBar.h"
#include "views/design/Motion.h"
#include "views/design/RingGauge.h"
#include "views/design/SegmentedBar.h"
#include "views/design/Shapes.h"
#include "views/design/Theme.h"

#include <QTest>
#include <QWidget>

#include <cmath>
#include <limits>

using namespace tidra;

namespace {

std::vector<RingGauge::Part> ring(std::initializer_list<double> fractions) {
  std::vector<RingGauge::Part> parts;
  int n = 0;
  for (double f : fractions) parts.push_back({QString::number(n++), f, {Qt::red}});
  return parts;
}

std::vector<SegmentedBar::Segment> bar(std::initializer_list<double> fractions) {
  std::vector<SegmentedBar::Segment> segments;
  int n = 0;
  for (double f : fractions) segments.push_back({QString::number(n++), f, Qt::blue});
  return segments;
}

}  // namespace

class DesignGeometryTest : public QObject {
  Q_OBJECT

private slots:
  // Three items of 100 × 20 with 10 between them: on one line while 320 fit, else on as many
  // lines as needed, each centred on its line; never wider than the room.
  void flowWrapsWhereTheNextItemWouldNotFit_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<QList<QPoint>>("corners");
    QTest::addColumn<int>("height");
    QTest::newRow("one line") << 320 << QList<QPoint>{{0, 0}, {110, 0}, {220, 0}} << 20;
    QTest::newRow("two lines") << 319 << QList<QPoint>{{0, 0}, {110, 0}, {0, 26}} << 46;
    QTest::newRow("one a line") << 150 << QList<QPoint>{{0, 0}, {0, 26}, {0, 52}} << 72;
  }
  void flowWrapsWhereTheNextItemWouldNotFit() {
    QFETCH(int, width);
    QFETCH(QList<QPoint>, corners);
    QFETCH(int, height);
    QWidget box;
    auto* flow = new FlowLayout(10, 6, &box);
    QList<QWidget*> items;
    for (int i = 0; i < 3; ++i) {
      items << new QWidget(&box);
      items.back()->setFixedSize(100, 20);
      flow->addWidget(items.back());
    }
    QCOMPARE(flow->sizeHint(), QSize(320, 20));
    QCOMPARE(flow->minimumSize(), QSize(100, 20));
    QCOMPARE(flow->heightForWidth(width), height);
    flow->setGeometry(QRect(0, 0, width, height));
    for (qsizetype i = 0; i < items.size(); ++i) QCOMPARE(items[i]->pos(), corners[i]);
  }

  // A shortened text asks for all its width, takes as little as a few letters, and draws an
  // ellipsis where it was cut; the whole text stays its text and becomes its tooltip.
  void elidedLabelShortensWithAnEllipsis() {
    ElidedLabel label(QStringLiteral("Gradle caches and downloaded distributions"), Theme::TextStyle::callout);
    const int whole = label.sizeHint().width();
    QVERIFY(label.minimumSizeHint().width() < whole / 4);
    label.resize(whole, label.sizeHint().height());
    label.grab();
    QVERIFY(label.toolTip().isEmpty());
    label.resize(whole / 2, label.sizeHint().height());
    label.grab();
    QCOMPARE(label.text(), QStringLiteral("Gradle caches and downloaded distributions"));
    QCOMPARE(label.toolTip(), label.text());
  }

  void ringArcs_data() {
    QTest::addColumn<std::vector<RingGauge::Part>>("parts");
    // Per part: start, end, visible end.
    QTest::addColumn<QList<QList<double>>>("expected");
    QTest::newRow("no parts") << ring({}) << QList<QList<double>>{};
    QTest::newRow("two parts, each ends a gap early")
        << ring({0.25, 0.5}) << QList<QList<double>>{{0, 0.25, 0.246}, {0.25, 0.75, 0.746}};
    QTest::newRow("the last part before a full turn keeps its gap")
        << ring({0.6, 0.4}) << QList<QList<double>>{{0, 0.6, 0.596}, {0.6, 1.0, 0.996}};
    QTest::newRow("a part of exactly the gap draws nothing")
        << ring({0.004, 0.3}) << QList<QList<double>>{{0, 0.004, 0}, {0.004, 0.304, 0.300}};
    QTest::newRow("a part just over the gap draws a sliver")
        << ring({0.005}) << QList<QList<double>>{{0, 0.005, 0.001}};
    QTest::newRow("over a full turn: later parts are cut, then vanish")
        << ring({0.7, 0.5, 0.2})
        << QList<QList<double>>{{0, 0.7, 0.696}, {0.7, 1.0, 0.996}, {1.0, 1.0, 1.0}};
    QTest::newRow("a single part beyond a turn is one full ring less the gap")
        << ring({1.5}) << QList<QList<double>>{{0, 1.0, 0.996}};
    QTest::newRow("negative and non-finite fractions count as nothing")
        << ring({-0.3, std::numeric_limits<double>::quiet_NaN(), 0.5})
        << QList<QList<double>>{{0, 0, 0}, {0, 0, 0}, {0, 0.5, 0.496}};
  }

  void ringArcs() {
    QFETCH(std::vector<RingGauge::Part>, parts);
    QFETCH(QList<QList<double>>, expected);
    const auto arcs = RingGauge::arcs(parts);
    QCOMPARE(arcs.size(), static_cast<std::size_t>(expected.size()));
    for (qsizetype i = 0; i < expected.size(); ++i) {
      const auto& arc = arcs[static_cast<std::size_t>(i)];
      QCOMPARE(arc.id, parts[static_cast<std::size_t>(i)].id);
      QVERIFY2(std::abs(arc.start - expected[i][0]) < 1e-9, qPrintable(QString::number(arc.start)));
      QVERIFY2(std::abs(arc.end - expected[i][1]) < 1e-9, qPrintable(QString::number(arc.end)));
      QVERIFY2(std::abs(arc.visibleEnd - expected[i][2]) < 1e-9, qPrintable(QString::number(arc.visibleEnd)));
      QCOMPARE(arc.isDrawn(), arc.visibleEnd > arc.start);
    }
  }

  void meterFill_data() {
    QTest::addColumn<double>("fraction");
    QTest::addColumn<qreal>("width");
    QTest::addColumn<qreal>("fill");
    QTest::newRow("empty shows a sliver") << 0.0 << 200.0 << 4.0;
    QTest::newRow("negative shows a sliver") << -0.5 << 200.0 << 4.0;
    QTest::newRow("tiny shows a sliver") << 0.01 << 200.0 << 4.0;
    QTest::newRow("half") << 0.5 << 200.0 << 100.0;
    QTest::newRow("just under full") << 0.999 << 200.0 << 199.8;
    QTest::newRow("full") << 1.0 << 200.0 << 200.0;
    QTest::newRow("beyond full is exactly full") << 1.5 << 200.0 << 200.0;
    QTest::newRow("not a number is empty") << std::numeric_limits<double>::quiet_NaN() << 200.0 << 4.0;
  }

  void meterFill() {
    QFETCH(double, fraction);
    QFETCH(qreal, width);
    QFETCH(qreal, fill);
    QCOMPARE(MeterBar::fillWidth(fraction, width), fill);
  }

  void segmentedBarLayout_data() {
    QTest::addColumn<std::vector<SegmentedBar::Segment>>("segments");
    // Per visible rectangle, the rest last: x, width.
    QTest::addColumn<QList<QList<qreal>>>("expected");
    QTest::addColumn<QList<int>>("indexes");
    QTest::newRow("no segments: one neutral bar") << bar({}) << QList<QList<qreal>>{{0, 400}} << QList<int>{-1};
    QTest::newRow("0.002 is left out") << bar({0.002}) << QList<QList<qreal>>{{0, 400}} << QList<int>{-1};
    QTest::newRow("0.0021 is drawn at least 2 wide")
        << bar({0.0021}) << QList<QList<qreal>>{{0, 2}, {4, 396}} << QList<int>{0, -1};
    QTest::newRow("segments and their gaps span their shares")
        << bar({0.25, 0.5}) << QList<QList<qreal>>{{0, 98}, {100, 198}, {300, 100}} << QList<int>{0, 1, -1};
    QTest::newRow("a full set leaves no rest")
        << bar({0.25, 0.75}) << QList<QList<qreal>>{{0, 98}, {100, 298}, {400, 0}} << QList<int>{0, 1, -1};
    QTest::newRow("a hidden segment's share goes to the rest, not its neighbours")
        << bar({0.5, 0.001, 0.25}) << QList<QList<qreal>>{{0, 198}, {200, 98}, {300, 100}}
        << QList<int>{0, 2, -1};
  }

  void segmentedBarLayout() {
    QFETCH(std::vector<SegmentedBar::Segment>, segments);
    QFETCH(QList<QList<qreal>>, expected);
    QFETCH(QList<int>, indexes);
    const auto rects = SegmentedBar::layout(segments, 400);
    QCOMPARE(rects.size(), static_cast<std::size_t>(expected.size()));
    for (qsizetype i = 0; i < expected.size(); ++i) {
      const auto& rect = rects[static_cast<std::size_t>(i)];
      QCOMPARE(rect.segment, indexes[i]);
      QVERIFY2(std::abs(rect.x - expected[i][0]) < 1e-9, qPrintable(QString::number(rect.x)));
      QVERIFY2(std::abs(rect.width - expected[i][1]) < 1e-9, qPrintable(QString::number(rect.width)));
    }
  }

  void springSettlesWithoutOvershoot() {
    for (const double response : {0.5, 0.6}) {
      QCOMPARE(Motion::springProgress(0, response), 0.0);
      double last = 0;
      for (int step = 1; step <= 200; ++step) {
        const double now = Motion::springProgress(step * 0.01, response);
        QVERIFY(now >= last);
        QVERIFY(now < 1.0 || step * 0.01 > 1.0);
        last = now;
      }
      const double settled = Motion::settleTime(response).count() / 1000.0;
      QVERIFY(std::abs(Motion::springProgress(settled, response) - 0.999) < 1e-3);
    }
    // Half a response in, a critically damped spring has covered most of the way.
    QVERIFY(Motion::springProgress(0.25, 0.5) > 0.8);
    const QEasingCurve curve = Motion::springCurve();
    QCOMPARE(curve.valueForProgress(0), 0.0);
    QCOMPARE(curve.valueForProgress(1), 1.0);
  }

  void motionIsOffWhenReducedOrInScreenshots() {
    const QByteArray saved = qgetenv("TIDRA_REDUCE_MOTION");
    qputenv("TIDRA_REDUCE_MOTION", "0");
    Appearance::setScreenshotMode(false);
    QVERIFY(Motion::enabled());
    Appearance::setScreenshotMode(true);
    QVERIFY(!Motion::enabled());
    Appearance::setScreenshotMode(false);
    qputenv("TIDRA_REDUCE_MOTION", "1");
    QVERIFY(!Motion::enabled());
    qputenv("TIDRA_REDUCE_MOTION", saved);
  }

  void glassFill_data() {
    QTest::addColumn<bool>("dark");
    QTest::addColumn<bool>("screenshot");
    QTest::addColumn<qreal>("opacity");
    QTest::newRow("screenshot, light") << false << true << 0.78;
    QTest::newRow("screenshot, dark") << true << true << 0.62;
    QTest::newRow("live, light") << false << false << 0.72;
    QTest::newRow("live, dark") << true << false << 0.55;
  }

  void glassFill() {
    QFETCH(bool, dark);
    QFETCH(bool, screenshot);
    QFETCH(qreal, opacity);
    QCOMPARE(GlassCard::fillOpacity(dark, screenshot), opacity);
  }

  void backdropGlows() {
    const QSizeF size(900, 600);
    for (const bool dark : {false, true}) {
      const auto glows = Backdrop::glows(size, dark);
      QCOMPARE(glows.size(), std::size_t{3});
      QCOMPARE(glows[0].centre, QPointF(0, 0));
      QCOMPARE(glows[1].centre, QPointF(900, 0));
      QCOMPARE(glows[2].centre, QPointF(450, 600));
      QCOMPARE(glows[0].radius, 560.0);
      QCOMPARE(glows[1].radius, 640.0);
      QCOMPARE(glows[2].radius, 720.0);
      const QList<double> opacities = dark ? QList<double>{0.20, 0.18, 0.12} : QList<double>{0.14, 0.11, 0.07};
      for (int i = 0; i < 3; ++i) QVERIFY(std::abs(glows[static_cast<std::size_t>(i)].color.alphaF() - opacities[i]) < 0.005);
    }
  }

  void shapes() {
    const QRectF rect(10, 10, 100, 40);
    // Square corners at radius 0; corners shrink to fit a radius too large for the rectangle.
    QCOMPARE(Shapes::roundedRect(rect, 0).boundingRect(), rect);
    QVERIFY(Shapes::roundedRect(rect, 0).contains(QPointF(10.5, 10.5)));
    QVERIFY(!Shapes::roundedRect(rect, 8).contains(QPointF(10.5, 10.5)));
    QCOMPARE(Shapes::roundedRect(rect, 500).boundingRect(), rect);
    QVERIFY(Shapes::roundedRect(rect, 500).contains(rect.center()));
    // A capsule's ends are half circles of half the height.
    const QPainterPath capsule = Shapes::capsule(rect);
    QVERIFY(capsule.contains(QPointF(30, 30)));
    QVERIFY(!capsule.contains(QPointF(12, 13)));
  }

  void schemeFollowsTheWindowColour() {
    QCOMPARE(Theme::schemeOf(Theme::palette(Theme::Scheme::dark)), Theme::Scheme::dark);
    QCOMPARE(Theme::schemeOf(Theme::palette(Theme::Scheme::light)), Theme::Scheme::light);
    // Text is darker than its ground in light and lighter in dark.
    for (const auto scheme : {Theme::Scheme::light, Theme::Scheme::dark}) {
      const QPalette p = Theme::palette(scheme);
      const bool darkText = p.color(QPalette::WindowText).lightnessF() < p.color(QPalette::Window).lightnessF();
      QCOMPARE(darkText, scheme == Theme::Scheme::light);
    }
  }
};

TIDRA_TEST_MAIN(DesignGeometryTest)
#include "DesignGeometryTest.moc"
