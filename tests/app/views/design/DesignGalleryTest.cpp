#include "support/TestMain.h"
#include "views/design/ActionBar.h"
#include "views/design/Backdrop.h"
#include "views/design/Badge.h"
#include "views/design/Banner.h"
#include "views/design/BigNumber.h"
#include "views/design/Brand.h"
#include "views/design/Button.h"
#include "views/design/CardHeader.h"
#include "views/design/EmptyState.h"
#include "views/design/GlassCard.h"
#include "views/design/IconChip.h"
#include "views/design/KeyedRowList.h"
#include "views/design/LegendItem.h"
#include "views/design/MeterBar.h"
#include "views/design/RingGauge.h"
#include "views/design/SegmentedBar.h"
#include "views/design/SegmentedControl.h"
#include "views/design/Spinner.h"
#include "views/design/StyledLabel.h"
#include "views/design/Theme.h"
#include "support/ImageVariety.h"

#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

using namespace tidra;
using tidra::test::variety;

namespace {

using Role = Theme::Role;
using Style = Theme::TextStyle;

QVBoxLayout* cardColumn(GlassCard* card) {
  auto* column = new QVBoxLayout(card);
  column->setContentsMargins(16, 14, 16, 16);
  column->setSpacing(10);
  return column;
}

GlassCard* storageCard(QWidget* parent) {
  auto* card = new GlassCard(20, parent);
  auto* column = cardColumn(card);
  column->addWidget(new CardHeader("Storage", "internaldrive", Brand::blue(), card));
  column->addWidget(new BigNumber("412.3 GB", 30, card));
  column->addWidget(new MeterBar(0.62, {Brand::teal(), Brand::blue()}, card));
  auto* legend = new QHBoxLayout;
  legend->setSpacing(14);
  legend->addWidget(new LegendItem(Brand::blue(), "Used", "288.1 GB", card));
  legend->addWidget(new LegendItem(std::nullopt, "Free", "124.2 GB", card));
  legend->addStretch(1);
  column->addLayout(legend);
  auto* empty = new MeterBar(0, {Role::orange}, card);
  column->addWidget(empty);
  return card;
}

GlassCard* ringCard(QWidget* parent) {
  auto* card = new GlassCard(20, parent);
  auto* column = cardColumn(card);
  column->addWidget(new CardHeader("Memory", "memorychip", Brand::violet(), card));
  auto* row = new QHBoxLayout;
  auto* ring = new RingGauge(12, card);
  ring->setFixedSize(110, 110);
  ring->setParts({{"apps", 0.42, {Brand::teal(), Brand::blue()}},
                  {"wired", 0.18, {Brand::violet()}},
                  {"tiny", 0.003, {Qt::red}},
                  {"cached", 0.2, {Role::orange}}});
  row->addWidget(ring);
  auto* full = new RingGauge(8, card);
  full->setFixedSize(70, 70);
  full->setParts({{"all", 1.4, {Brand::teal(), Brand::blue(), Brand::violet()}}});
  row->addWidget(full, 0, Qt::AlignBottom);
  auto* none = new RingGauge(8, card);
  none->setFixedSize(50, 50);
  row->addWidget(none, 0, Qt::AlignBottom);
  row->addStretch(1);
  column->addLayout(row);
  column->addWidget(new SegmentedBar({{"apps", 0.35, Brand::blue()},
                                      {"wired", 0.2, Brand::violet()},
                                      {"hidden", 0.002, Qt::red},
                                      {"compressed", 0.15, Brand::teal()}},
                                     "Memory use", card));
  return card;
}

GlassCard* chipsCard(QWidget* parent) {
  auto* card = new GlassCard(14, parent);
  auto* column = cardColumn(card);
  auto* chips = new QHBoxLayout;
  chips->setSpacing(8);
  const QStringList symbols{"hammer", "iphone.gen2", "curlybraces", "bird", "shippingbox", "trash",
                            "thermometer.high", "stethoscope", "no.such.symbol"};
  int size = 22;
  for (const QString& symbol : symbols) {
    chips->addWidget(new IconChip(symbol, symbol == "no.such.symbol" ? Qt::gray : Brand::teal(), size, card));
    size = size == 26 ? 22 : size + 2;
  }
  chips->addStretch(1);
  column->addLayout(chips);
  auto* badges = new QHBoxLayout;
  badges->setSpacing(6);
  badges->addWidget(new StyledLabel("Xcode derived data", Style::body, Role::label, -1, card));
  badges->addWidget(new Badge("Your call", Role::orange, card));
  badges->addWidget(new Badge("To Trash", Role::secondaryLabel, card));
  badges->addStretch(1);
  column->addLayout(badges);
  auto* spinners = new QHBoxLayout;
  for (const auto size : {Spinner::Size::small, Spinner::Size::regular, Spinner::Size::large})
    spinners->addWidget(new Spinner(size, card), 0, Qt::AlignVCenter);
  spinners->addWidget(new SegmentedControl({"Apps", "Developer Tools", "Startup"}, card), 0, Qt::AlignVCenter);
  spinners->addStretch(1);
  column->addLayout(spinners);
  return card;
}

QWidget* buttons(QWidget* parent) {
  auto* box = new QWidget(parent);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(8);
  auto* why = new Button(Button::Look::primary, "Why Is My Computer Slow?", box);
  why->setSymbol("stethoscope");
  row->addWidget(why);
  row->addWidget(new Button(Button::Look::secondary, "What's Using Memory", box));
  auto* settings = new Button(Button::Look::secondary, "", box);
  settings->setSymbol("gearshape");
  row->addWidget(settings);
  auto* small = new Button(Button::Look::secondary, "Rescan", box);
  small->setSymbol("arrow.clockwise");
  small->setControlSize(Button::Size::small);
  row->addWidget(small);
  auto* large = new Button(Button::Look::primary, "Clean 4.2 GB", box);
  large->setControlSize(Button::Size::large);
  large->setTint(Role::red);
  row->addWidget(large);
  auto* off = new Button(Button::Look::primary, "Disabled", box);
  off->setEnabled(false);
  row->addWidget(off);
  row->addWidget(new Button(Button::Look::link, "Show in Folder", box));
  row->addStretch(1);
  return box;
}

GlassCard* listCard(QWidget* parent) {
  auto* card = new GlassCard(20, parent);
  auto* column = cardColumn(card);
  auto* banner = new Banner("exclamationmark.triangle.fill", Role::orange,
                            "Freed 3.1 GB, 2 items could not be removed",
                            QString("Paths that were not removed are listed below."), card);
  banner->actions()->addWidget(new Button(Button::Look::link, "Dismiss", banner));
  column->addWidget(banner);
  column->addWidget(new Banner("eye.slash", Role::secondaryLabel,
                               "Some folders could not be read", std::nullopt, card));
  auto* list = new KeyedRowList(
      [card](const QString& id) {
        auto* row = new QWidget(card);
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(4, 6, 4, 6);
        auto* tick = new QCheckBox(row);
        tick->setChecked(id != "npm cache");
        line->addWidget(tick);
        line->addWidget(new StyledLabel(id, Style::body, Role::label, -1, row));
        line->addStretch(1);
        line->addWidget(new StyledLabel("1.2 GB", Style::body, Role::secondaryLabel, -1, row));
        return row;
      },
      card);
  list->setDividers(true, 4);
  list->setKeys({"Derived data", "npm cache", "Gradle caches"});
  column->addWidget(list);
  return card;
}

// Every component of the design system on one backdrop, as a screen would lay them out.
QWidget* gallery() {
  auto* root = new QWidget;
  root->resize(1000, 820);
  auto* backdrop = new Backdrop(root);
  backdrop->setGeometry(root->rect());
  auto* grid = new QGridLayout(root);
  grid->setContentsMargins(20, 20, 20, 0);
  grid->setSpacing(18);
  grid->addWidget(storageCard(root), 0, 0);
  grid->addWidget(ringCard(root), 0, 1);
  grid->addWidget(chipsCard(root), 1, 0);
  grid->addWidget(listCard(root), 1, 1, 2, 1);
  grid->addWidget(new EmptyState("checkmark.circle", "Nothing to clean",
                                 "Everything Tidra knows how to clean is already small.", root),
                  2, 0);
  grid->addWidget(buttons(root), 3, 0, 1, 2);
  auto* bar = new ActionBar(root);
  bar->row()->addWidget(new StyledLabel("3 items selected", Style::body, Role::secondaryLabel, -1, bar));
  bar->row()->addStretch(1);
  bar->row()->addWidget(new StyledLabel("4.2 GB", Style::title3, Role::label, QFont::DemiBold, bar));
  bar->row()->addWidget(new Button(Button::Look::primary, "Clean…", bar));
  grid->addWidget(bar, 4, 0, 1, 2);
  grid->setRowStretch(2, 1);
  return root;
}

}  // namespace

class DesignGalleryTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { Theme::apply(Theme::Scheme::light); }

  // Renders the gallery in both appearances; set TIDRA_GALLERY_DIR to keep the images.
  void rendersInBothAppearances() {
    QTemporaryDir scratch;
    const QString folder = qEnvironmentVariableIsSet("TIDRA_GALLERY_DIR") ? qEnvironmentVariable("TIDRA_GALLERY_DIR")
                                                                          : scratch.path();
    QDir().mkpath(folder);
    std::unique_ptr<QWidget> root(gallery());
    root->show();
    QImage images[2];
    for (const auto scheme : {Theme::Scheme::light, Theme::Scheme::dark}) {
      root->setPalette(Theme::palette(scheme));
      QImage image = root->grab().toImage();
      const bool dark = scheme == Theme::Scheme::dark;
      QVERIFY(image.save(QDir(folder).filePath(dark ? "gallery-dark.png" : "gallery-light.png")));
      QVERIFY2(variety(image) > 0.2, "the gallery came out nearly blank");
      images[dark] = image;
    }
    // The appearance reaches every component: the two images differ nearly everywhere.
    QVERIFY(images[0] != images[1]);
    QVERIFY(qGray(images[1].pixel(500, 5)) < qGray(images[0].pixel(500, 5)));
  }
};

TIDRA_TEST_MAIN(DesignGalleryTest)
#include "DesignGalleryTest.moc"
