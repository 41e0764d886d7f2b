#include "support/TestMain.h"
#include "monitor/MonitorFakes.h"
#include "platform/TrayItem.h"
#include "views/MenuBarLabel.h"

#include <QGuiApplication>
#include <QScreen>
#include <QMenu>
#include <QTest>
#include <QWidget>

using namespace tidra;

Q_DECLARE_METATYPE(std::optional<tidra::MemorySnapshot>)
Q_DECLARE_METATYPE(std::optional<tidra::DiskUsage>)

namespace {

using Pressure = MemorySnapshot::Pressure;

std::optional<MemorySnapshot> under(Pressure pressure) { return test::memoryAt(pressure); }

}  // namespace

class MenuBarLabelTest : public QObject {
  Q_OBJECT

private slots:
  void symbolFollowsPressure_data() {
    QTest::addColumn<std::optional<MemorySnapshot>>("memory");
    QTest::addColumn<QString>("symbol");
    QTest::newRow("no reading") << std::optional<MemorySnapshot>() << "sparkles";
    QTest::newRow("normal") << under(Pressure::normal) << "sparkles";
    QTest::newRow("warning") << under(Pressure::warning) << "exclamationmark.triangle.fill";
    QTest::newRow("critical") << under(Pressure::critical) << "exclamationmark.triangle.fill";
  }
  void symbolFollowsPressure() {
    QFETCH(std::optional<MemorySnapshot>, memory);
    QFETCH(QString, symbol);
    QCOMPARE(MenuBarLabel::symbol(memory), symbol);
  }

  void textIsTheBareFreeSpace_data() {
    QTest::addColumn<std::optional<DiskUsage>>("disk");
    QTest::addColumn<QString>("text");
    QTest::newRow("no reading") << std::optional<DiskUsage>() << "";
    QTest::newRow("demo disk") << std::optional(DiskUsage{500'000'000'000, 31'740'000'000}) << "31.74 GB";
    QTest::newRow("full disk") << std::optional(DiskUsage{500'000'000'000, 0}) << "0 bytes";
  }
  void textIsTheBareFreeSpace() {
    QFETCH(std::optional<DiskUsage>, disk);
    QFETCH(QString, text);
    QCOMPARE(MenuBarLabel::text(disk), text);
  }

  // The tray shows the label: the symbol as its icon, the free space as its tooltip.
  void trayItemShowsTheLabel() {
    int panels = 0;
    TrayItem tray([&panels] {
      ++panels;
      return new QWidget(nullptr, Qt::Popup);
    });
    QCOMPARE(tray.symbol(), QString("sparkles"));
    QCOMPARE(tray.toolTip(), QString("Tidra"));
    tray.setReadings(under(Pressure::critical), DiskUsage{500'000'000'000, 31'740'000'000});
    QCOMPARE(tray.symbol(), QString("exclamationmark.triangle.fill"));
    QCOMPARE(tray.toolTip(), QString("Tidra — 31.74 GB available"));

    tray.togglePanel();
    QVERIFY(tray.panel()->isVisible());
    tray.togglePanel();
    QTRY_VERIFY(tray.panel() == nullptr);
    tray.togglePanel();
    QCOMPARE(panels, 2);
  }

  // A right-click offers what tray items offer on Linux desktops.
  void trayMenuOpensSettingsAndQuits() {
    QStringList called;
    TrayItem tray([] { return new QWidget(nullptr, Qt::Popup); },
                  {[&] { called << "open"; }, [&] { called << "settings"; }, [&] { called << "quit"; }});
    QStringList titles;
    for (QAction* action : tray.menu()->actions())
      if (!action->isSeparator()) {
        titles << action->text();
        action->trigger();
      }
    QCOMPARE(titles, (QStringList{"Open Tidra", "Settings…", "Quit Tidra"}));
    QCOMPARE(called, (QStringList{"open", "settings", "quit"}));
  }

  // The panel grows when its check opens: it is placed again and stays inside the screen, held
  // to the screen's height when it would be taller.
  void aGrowingPanelStaysOnScreen() {
    TrayItem tray([] {
      auto* panel = new QWidget(nullptr, Qt::Popup);
      panel->resize(320, 200);
      return panel;
    });
    tray.togglePanel();
    QWidget* panel = tray.panel();
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(room.contains(panel->geometry()));
    panel->resize(320, room.height() + 300);
    QTRY_VERIFY(room.contains(panel->geometry()));
    QCOMPARE(panel->height(), room.height());
    QCOMPARE(panel->width(), 320);
  }
};

TIDRA_TEST_MAIN(MenuBarLabelTest)
#include "MenuBarLabelTest.moc"
