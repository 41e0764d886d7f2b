#include "support/TestMain.h"
#include "support/ScreenRender.h"
#include "views/design/Appearance.h"
#include "views/design/CachedPaintWidget.h"
#include "views/design/Button.h"
#include "views/design/CardShadow.h"
#include "views/design/ClearScroll.h"
#include "views/design/ConfirmationDialog.h"
#include "views/design/EmptyState.h"
#include "views/design/GlassCard.h"
#include "views/design/KeyedRowList.h"
#include "views/design/MeterBar.h"
#include "views/design/Motion.h"
#include "views/design/RingGauge.h"
#include "views/design/SegmentedControl.h"
#include "views/design/Spring.h"
#include "views/design/StyledLabel.h"
#include "views/design/Theme.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace tidra;

namespace {

class CountingWidget : public CachedPaintWidget {
public:
  int renders = 0;
  using CachedPaintWidget::invalidate;

protected:
  void render(QPainter&, const QSizeF&) override { ++renders; }
};

// Motion on for one test, whatever the environment says.
class MotionOn {
public:
  MotionOn() : saved(qgetenv("TIDRA_REDUCE_MOTION")) { qputenv("TIDRA_REDUCE_MOTION", "0"); }
  ~MotionOn() { qputenv("TIDRA_REDUCE_MOTION", saved); }

private:
  QByteArray saved;
};

bool closeTo(QRgb pixel, const QColor& color) {
  return std::abs(qRed(pixel) - color.red()) < 12 && std::abs(qGreen(pixel) - color.green()) < 12 &&
         std::abs(qBlue(pixel) - color.blue()) < 12;
}

}  // namespace

class DesignWidgetsTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() {
    Theme::apply(Theme::Scheme::light);
    Appearance::setScreenshotMode(false);
  }

  void textIsSetInInter() {
    QVERIFY(Theme::loadFonts());
    for (const auto style : {Theme::TextStyle::largeTitle, Theme::TextStyle::headline, Theme::TextStyle::caption})
      QCOMPARE(QFontInfo(Theme::font(style)).family(), QStringLiteral("Inter"));
    QCOMPARE(QFontInfo(Theme::font(Theme::TextStyle::headline)).weight(), static_cast<int>(QFont::DemiBold));
  }

  // The card's fill over a black window: the control background at the fill's opacity.
  void glassCardFill_data() {
    QTest::addColumn<bool>("dark");
    QTest::addColumn<bool>("screenshot");
    QTest::addColumn<int>("gray");
    QTest::newRow("screenshot, light: white at 0.78") << false << true << 199;
    QTest::newRow("screenshot, dark: 0.118 white at 0.62") << true << true << 19;
    QTest::newRow("live, light: translucent white") << false << false << 184;
  }

  void glassCardFill() {
    QFETCH(bool, dark);
    QFETCH(bool, screenshot);
    QFETCH(int, gray);
    Appearance::setScreenshotMode(screenshot);
    QWidget window;
    QPalette black;
    black.setColor(QPalette::Window, Qt::black);
    window.setPalette(black);
    window.setAutoFillBackground(true);
    window.resize(200, 200);
    auto* card = new GlassCard(20, &window);
    card->setPalette(Theme::palette(dark ? Theme::Scheme::dark : Theme::Scheme::light));
    card->setGeometry(40, 40, 120, 120);
    const QImage image = window.grab().toImage();
    Appearance::setScreenshotMode(false);
    const int dpr = static_cast<int>(image.devicePixelRatio());
    QVERIFY2(std::abs(qGray(image.pixel(100 * dpr, 100 * dpr)) - gray) <= 2,
             qPrintable(QString::number(qGray(image.pixel(100 * dpr, 100 * dpr)))));
  }

  // Lists and pages on cards: the card's colour shows through the scroll area and its page.
  void scrollAreaShowsWhatLiesBehind() {
    QWidget window;
    QPalette card;
    card.setColor(QPalette::Window, QColor(200, 30, 30));
    window.setPalette(card);
    window.setAutoFillBackground(true);
    window.resize(200, 200);
    auto* scroll = new QScrollArea(&window);
    scroll->setPalette(Theme::palette(Theme::Scheme::light));
    showThrough(scroll, new QWidget);
    scroll->setGeometry(20, 20, 160, 160);
    const QImage image = window.grab().toImage();
    const int dpr = static_cast<int>(image.devicePixelRatio());
    QVERIFY2(closeTo(image.pixel(100 * dpr, 100 * dpr), QColor(200, 30, 30)),
             qPrintable(QColor(image.pixel(100 * dpr, 100 * dpr)).name()));
  }

  // Thin bars without arrows, clear of the card's rounded corners, and only when there is more
  // to see than fits.
  void scrollBarsAreThinAndOnlyThereWhenNeeded() {
    Theme::apply(Theme::Scheme::light);
    QWidget window;
    window.resize(300, 300);
    auto* scroll = new QScrollArea(&window);
    auto* content = new QWidget;
    content->setMinimumHeight(100);
    showThrough(scroll, content);
    scroll->setGeometry(0, 0, 300, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!scroll->verticalScrollBar()->isVisible());

    content->setMinimumHeight(1200);
    QApplication::processEvents();
    QScrollBar* bar = scroll->verticalScrollBar();
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->width(), 10);
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = Qt::Vertical;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.pageStep = bar->pageStep();
    for (const int value : {bar->minimum(), bar->maximum()}) {
      option.sliderPosition = option.sliderValue = value;
      for (const auto arrow : {QStyle::SC_ScrollBarAddLine, QStyle::SC_ScrollBarSubLine})
        QVERIFY(bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, arrow, bar).isEmpty());
      const QRect handle = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
      QVERIFY(handle.top() >= 12);
      QVERIFY(handle.bottom() < bar->height() - 12);
      // A quarter of the content is visible: the handle is a quarter of its run.
      QVERIFY(std::abs(handle.height() - (bar->height() - 24) / 4) <= 2);
    }
  }

  // Centred, a wrapped description must still get every line it needs, in the narrowest pane.
  void emptyStateShowsItsWholeDescription_data() {
    QTest::addColumn<QString>("description");
    QTest::addColumn<int>("width");
    QTest::newRow("one short line") << "Try a smaller minimum size." << 600;
    QTest::newRow("two lines") << "Build daemons, language servers, dev servers, emulators, simulators and Docker show up here while they run." << 600;
    QTest::newRow("a paragraph in the narrowest pane")
        << "Finds dependencies and build output you can regenerate, and git worktrees you have finished with. "
           "Sizes count files shared between folders once, so they show what deleting really frees."
        << 600;
  }

  void emptyStateShowsItsWholeDescription() {
    QFETCH(QString, description);
    QFETCH(int, width);
    QWidget window;
    auto* column = new QVBoxLayout(&window);
    column->addWidget(new EmptyState("doc", "Nothing here", description));
    window.resize(width, 480);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QLabel* text = nullptr;
    for (auto* label : window.findChildren<QLabel*>())
      if (label->text() == description) text = label;
    QVERIFY(text);
    QVERIFY2(text->height() >= text->heightForWidth(text->width()),
             qPrintable(QStringLiteral("%1 < %2").arg(text->height()).arg(text->heightForWidth(text->width()))));
    QVERIFY(text->width() <= width);
    test::renderIfAsked(window, QStringLiteral("empty-state-%1").arg(QTest::currentDataTag()).replace(' ', '-'));
  }

  void cardShadowFollowsItsCard() {
    QWidget window, other;
    window.resize(400, 300);
    other.resize(400, 300);
    auto* card = new GlassCard(20);
    QCOMPARE(window.findChild<CardShadow*>(), nullptr);
    card->setParent(&window);
    card->setGeometry(50, 40, 200, 100);
    window.show();
    card->show();
    QPointer<CardShadow> shadow = window.findChild<CardShadow*>();
    QVERIFY(shadow);
    const int m = CardShadow::kMargin;
    QCOMPARE(shadow->geometry(), QRect(50 - m, 40 - m, 200 + 2 * m, 100 + 2 * m));
    QVERIFY(shadow->isVisible());
    // Just under the card in the stacking order.
    const auto siblings = window.children();
    QCOMPARE(siblings.indexOf(shadow) + 1, siblings.indexOf(card));

    card->move(60, 60);
    QCOMPARE(shadow->geometry().topLeft(), QPoint(60 - m, 60 - m));
    card->hide();
    QVERIFY(!shadow->isVisible());
    card->show();
    card->setParent(&other);
    QCOMPARE(shadow->parentWidget(), &other);
    delete card;
    QVERIFY(shadow.isNull());
  }

  void shadowBlurSpreadsEvenly() {
    QImage image(41, 41, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(QRect(15, 15, 11, 11), Qt::black);
    painter.end();
    CardShadow::blurAlpha(image, 3);
    auto alpha = [&](int x, int y) { return qAlpha(image.pixel(x, y)); };
    QVERIFY(alpha(20, 20) > 150);
    QVERIFY(alpha(20, 20) < 255);
    QVERIFY(alpha(12, 20) > 0);
    QCOMPARE(alpha(12, 20), alpha(28, 20));
    QCOMPARE(alpha(20, 12), alpha(20, 28));
    QCOMPARE(alpha(0, 0), 0);
    QVERIFY(alpha(20, 20) > alpha(14, 20) && alpha(14, 20) > alpha(10, 20));
  }

  void keyedRowsSurviveRefreshes() {
    QStringList made;
    QWidget host;
    auto* list = new KeyedRowList(
        [&](const QString& id) {
          made.append(id);
          return new QCheckBox(id, &host);
        },
        &host);
    new QVBoxLayout(&host);
    host.layout()->addWidget(list);
    list->setKeys({"a", "b", "c"});
    auto* b = qobject_cast<QCheckBox*>(list->row("b"));
    b->setChecked(true);
    QPointer<QWidget> c = list->row("c");

    list->setKeys({"d", "b", "a", "b"});
    QCOMPARE(made, (QStringList{"a", "b", "c", "d"}));
    QCOMPARE(list->keys(), (QStringList{"d", "b", "a"}));
    QCOMPARE(list->row("b"), b);
    QVERIFY(b->isChecked());
    QCOMPARE(list->row("c"), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(c.isNull());

    host.resize(200, 200);
    host.show();
    host.layout()->activate();
    list->layout()->activate();
    QVERIFY(list->row("d")->y() < list->row("b")->y());
    QVERIFY(list->row("b")->y() < list->row("a")->y());

    list->setKeys({});
    QVERIFY(list->keys().isEmpty());
    QCOMPARE(list->row("a"), nullptr);
  }

  void buttonsShowHoverAndPressedStates() {
    for (const auto look : {Button::Look::primary, Button::Look::secondary, Button::Look::link}) {
      Button button(look, QStringLiteral("Clean"));
      button.resize(button.sizeHint());
      const QImage resting = button.grab().toImage();
      button.setAttribute(Qt::WA_UnderMouse, true);
      const QImage hovered = button.grab().toImage();
      button.setDown(true);
      const QImage pressed = button.grab().toImage();
      QVERIFY2(hovered != resting, qPrintable(button.text()));
      QVERIFY(pressed != resting);
      QVERIFY(pressed != hovered);
    }
  }

  // Tab moves through the controls in the order they read and rings each one.
  void tabRingsEachFocusableControlInReadingOrder() {
    QWidget window;
    auto* column = new QVBoxLayout(&window);
    QList<QWidget*> controls{new Button(Button::Look::primary, QStringLiteral("Clean")),
                             new Button(Button::Look::secondary, QStringLiteral("Check Again")),
                             new Button(Button::Look::link, QStringLiteral("Show")),
                             new SegmentedControl({QStringLiteral("One"), QStringLiteral("Two")}), new QCheckBox,
                             new QCheckBox};
    qobject_cast<QCheckBox*>(controls.last())->setChecked(true);
    for (QWidget* control : controls) column->addWidget(control);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    controls.first()->clearFocus();
    QList<QImage> resting;
    for (QWidget* control : controls) resting << control->grab().toImage();
    for (qsizetype i = 0; i < controls.size(); ++i) {
      QTest::keyClick(&window, Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), controls[i]);
      QVERIFY2(controls[i]->grab().toImage() != resting[i], qPrintable(QString::number(i)));
    }
  }

  void segmentedControlChoosesOnce() {
    SegmentedControl control({"Apps", "Developer Tools", "Startup"});
    control.resize(control.sizeHint());
    QSignalSpy changed(&control, &SegmentedControl::currentChanged);
    control.setCurrentIndex(0);
    control.setCurrentIndex(3);
    control.setCurrentIndex(-1);
    QCOMPARE(changed.count(), 0);
    QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(control.width() - 5, control.height() / 2));
    QCOMPARE(control.currentIndex(), 2);
    QTest::keyClick(&control, Qt::Key_Right);
    QCOMPARE(control.currentIndex(), 2);
    QTest::keyClick(&control, Qt::Key_Left);
    QCOMPARE(control.currentIndex(), 1);
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(1).at(0).toInt(), 1);
  }

  void cachedImageIsRebuiltOnlyWhenSomethingChanged() {
    CountingWidget widget;
    widget.resize(40, 20);
    widget.grab();
    widget.grab();
    QCOMPARE(widget.renders, 1);
    widget.setPalette(Theme::palette(Theme::Scheme::dark));
    widget.grab();
    QCOMPARE(widget.renders, 2);
    widget.resize(50, 20);
    widget.grab();
    QCOMPARE(widget.renders, 3);
    widget.invalidate();
    widget.grab();
    QCOMPARE(widget.renders, 4);
  }

  void springJumpsWithoutMotionAndSettlesExactlyWithIt() {
    std::vector<double> steps;
    Spring still(0.5, [&](double p) { steps.push_back(p); }, nullptr);
    still.start();
    QCOMPARE(steps, std::vector<double>{1.0});

    MotionOn motion;
    steps.clear();
    Spring moving(0.5, [&](double p) { steps.push_back(p); }, nullptr);
    moving.start();
    QVERIFY(moving.isRunning());
    QTRY_VERIFY(!moving.isRunning());
    QVERIFY(std::is_sorted(steps.begin(), steps.end()));
    QCOMPARE(steps.back(), 1.0);
  }

  void gaugesShowTheirNewValueAtOnceWithoutMotion() {
    MeterBar meter(0, {Qt::red});
    meter.resize(200, MeterBar::kHeight);
    meter.setFraction(0.5);
    QImage image = meter.grab().toImage();
    const int dpr = static_cast<int>(image.devicePixelRatio());
    QVERIFY(closeTo(image.pixel(50 * dpr, 2 * dpr), Qt::red));
    QVERIFY(!closeTo(image.pixel(150 * dpr, 2 * dpr), Qt::red));

    RingGauge ring(10);
    ring.resize(100, 100);
    ring.setParts({{"used", 0.25, {Qt::red}}});
    image = ring.grab().toImage();
    // The first quarter runs clockwise from 12 to 3 o'clock.
    QVERIFY(closeTo(image.pixel(84 * dpr, 16 * dpr), Qt::red));
    QVERIFY(!closeTo(image.pixel(16 * dpr, 84 * dpr), Qt::red));

    // The round cap before 12 o'clock takes the segment's first colour, not its last.
    ring.setParts({{"used", 0.5, {Qt::red, Qt::blue}}});
    image = ring.grab().toImage();
    const QRgb cap = image.pixel(47 * dpr, 5 * dpr);
    QVERIFY2(qRed(cap) > 200 && qBlue(cap) < 60, qPrintable(QColor(cap).name()));
  }

  void fadeInShowsAtOnceWithoutMotion() {
    QWidget parent;
    auto* banner = new QWidget(&parent);
    banner->hide();
    parent.show();
    Motion::fadeIn(banner);
    QVERIFY(banner->isVisible());
    QCOMPARE(banner->graphicsEffect(), nullptr);

    MotionOn motion;
    auto* second = new QWidget(&parent);
    second->hide();
    Motion::fadeIn(second);
    QVERIFY(second->isVisible());
    QVERIFY(second->graphicsEffect());
    // Faded in, the effect goes, so the widget paints directly again.
    QTRY_COMPARE(second->graphicsEffect(), nullptr);
  }

  void labelsFollowTheAppearance() {
    QWidget parent;
    auto* label = new StyledLabel("Free", Theme::TextStyle::callout, Theme::Role::secondaryLabel, -1, &parent);
    QCOMPARE(label->palette().color(QPalette::WindowText),
             Theme::color(Theme::Role::secondaryLabel, Theme::Scheme::light));
    parent.setPalette(Theme::palette(Theme::Scheme::dark));
    QCOMPARE(label->palette().color(QPalette::WindowText),
             Theme::color(Theme::Role::secondaryLabel, Theme::Scheme::dark));
    QCOMPARE(Theme::Tint(Theme::Role::orange).resolve(label), Theme::color(Theme::Role::orange, Theme::Scheme::dark));
    QCOMPARE(Theme::Tint(QColor(Qt::blue)).resolve(label), QColor(Qt::blue));
  }

  void confirmationOpensWindowModalAndAnswersOnce() {
    QWidget window;
    window.show();
    struct Case {
      const char* name;
      std::function<void(ConfirmationDialog&)> answer;
      bool accepted;
    };
    const std::vector<Case> cases{
        {"Escape cancels", [](ConfirmationDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, false},
        {"Cancel cancels", [](ConfirmationDialog& d) { QTest::mouseClick(d.cancelButton(), Qt::LeftButton); }, false},
        {"the action confirms", [](ConfirmationDialog& d) { QTest::mouseClick(d.actionButton(), Qt::LeftButton); },
         true},
    };
    for (const Case& c : cases) {
      ConfirmationDialog dialog("Clean 4.2 GB?", "The selected items are deleted.", "Clean", true, &window);
      QSignalSpy accepted(&dialog, &QDialog::accepted);
      QSignalSpy rejected(&dialog, &QDialog::rejected);
      dialog.open();
      QVERIFY2(dialog.isVisible(), c.name);
      QCOMPARE(dialog.windowModality(), Qt::WindowModal);
      c.answer(dialog);
      QVERIFY2(!dialog.isVisible(), c.name);
      QCOMPARE(accepted.count(), c.accepted ? 1 : 0);
      QCOMPARE(rejected.count(), c.accepted ? 0 : 1);
    }
  }
};

TIDRA_TEST_MAIN(DesignWidgetsTest)
#include "DesignWidgetsTest.moc"
