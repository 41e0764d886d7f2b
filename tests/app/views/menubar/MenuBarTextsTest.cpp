#include "support/TestMain.h"
#include "views/Formats.h"
#include "views/design/Brand.h"
#include "views/menubar/MenuBarTexts.h"

#include <QLocale>
#include <QTest>
#include <QWidget>

using namespace tidra;

namespace {

DeveloperTool server(const std::string& id, int clients = 0, std::int64_t memory = 0) {
  DeveloperTool tool;
  tool.id = id;
  tool.kind = DeveloperTool::Kind::devServer;
  tool.title = "Server " + id;
  tool.clients = clients;
  tool.memoryBytes = memory;
  return tool;
}

QList<QColor> resolved(const std::vector<Theme::Tint>& tints) {
  QWidget widget;
  QList<QColor> colors;
  for (const auto& tint : tints) colors << tint.resolve(&widget);
  return colors;
}

QList<QColor> roles(std::initializer_list<Theme::Tint> tints) { return resolved(std::vector<Theme::Tint>(tints)); }

}  // namespace

class MenuBarTextsTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

  void inlineCheckHeight_data() {
    QTest::addColumn<int>("screen");
    QTest::addColumn<int>("expected");
    QTest::newRow("tall screen") << 900 << 340;
    QTest::newRow("exactly 860") << 860 << 340;
    QTest::newRow("middle") << 700 << 180;
    QTest::newRow("short screen") << 600 << 160;
    QTest::newRow("tiny screen") << 200 << 160;
    QTest::newRow("no screen") << -1 << 280;
  }
  void inlineCheckHeight() {
    QFETCH(int, screen);
    QFETCH(int, expected);
    QCOMPARE(MenuBarTexts::inlineCheckHeight(screen < 0 ? std::nullopt : std::optional(screen)), expected);
  }

  // The rest of the panel and the check together never run past the screen's visible height.
  void inlineCheckRoom_data() {
    QTest::addColumn<int>("screen");
    QTest::addColumn<int>("rest");
    QTest::addColumn<int>("expected");
    QTest::newRow("tall screen, the usual panel") << 1000 << 560 << 340;
    QTest::newRow("short screen: the floor of 160 would push the footer off") << 600 << 520 << 80;
    QTest::newRow("a panel as tall as the screen") << 600 << 640 << 0;
    QTest::newRow("no screen") << -1 << 560 << 280;
  }
  void inlineCheckRoom() {
    QFETCH(int, screen);
    QFETCH(int, rest);
    QFETCH(int, expected);
    const auto visible = screen < 0 ? std::nullopt : std::optional(screen);
    QCOMPARE(MenuBarTexts::inlineCheckRoom(visible, rest), expected);
    if (visible) QVERIFY(rest + MenuBarTexts::inlineCheckRoom(visible, rest) <= std::max(*visible, rest));
  }

  void idleServersNeedNoClientAndHalfAnHourOfIdleTime() {
    const std::vector servers{server("just short"), server("exactly"), server("one client", 1), server("unknown"),
                              server("long idle")};
    const std::map<std::string, double> idle{
        {"just short", 1'799}, {"exactly", 1'800}, {"one client", 90'000}, {"long idle", 7'200}};
    std::vector<std::string> kept;
    for (const auto& tool : MenuBarTexts::idleServers(servers, idle)) kept.push_back(tool.id);
    QCOMPARE(kept, (std::vector<std::string>{"exactly", "long idle"}));
  }

  void rowTitlesCountTheTools() {
    QCOMPARE(MenuBarTexts::idleServersTitle(1), QStringLiteral("1 dev server is idle"));
    QCOMPARE(MenuBarTexts::idleServersTitle(3), QStringLiteral("3 dev servers are idle"));
    QCOMPARE(MenuBarTexts::idleDaemonsTitle(1), QStringLiteral("1 build daemon is idle"));
    QCOMPARE(MenuBarTexts::idleDaemonsTitle(12), QStringLiteral("12 build daemons are idle"));
  }

  void rowsNameTheirToolsAndTheMemoryTheyHold() {
    const std::vector one{server("a", 0, 1'500'000'000)};
    QCOMPARE(MenuBarTexts::holding(one), QStringLiteral("Holding ") + Formats::memory(1'500'000'000));
    QCOMPARE(MenuBarTexts::stopsHelp(one), QStringLiteral("Stops Server a"));
    const std::vector three{server("a", 0, 100), server("b", 0, 200), server("c", 0, 300)};
    QCOMPARE(MenuBarTexts::holding(three), QStringLiteral("Holding ") + Formats::memory(600));
    QCOMPARE(MenuBarTexts::stopsHelp(three), QStringLiteral("Stops Server a, Server b, and Server c"));
  }

  void memoryGaugeFollowsThePressure() {
    MemorySnapshot memory;
    memory.total = 16LL << 30;
    memory.app = 6LL << 30;
    memory.wired = 2LL << 30;
    memory.compressed = 4LL << 30;
    const std::pair<MemorySnapshot::Pressure, QString> titles[] = {
        {MemorySnapshot::Pressure::normal, "Memory is fine"},
        {MemorySnapshot::Pressure::warning, "Memory is tight"},
        {MemorySnapshot::Pressure::critical, "Memory is very low"}};
    for (const auto& [pressure, title] : titles) {
      memory.pressure = pressure;
      const auto gauge = MenuBarTexts::memoryGauge(memory);
      QCOMPARE(gauge.title, title);
      QCOMPARE(gauge.value, Formats::memory(12LL << 30) + " of " + Formats::memory(16LL << 30));
      QCOMPARE(gauge.fraction, 0.75);
      QCOMPARE(gauge.symbol, QStringLiteral("memorychip"));
      QCOMPARE(resolved(gauge.colors), resolved(MenuBarTexts::pressureColors(pressure)));
    }
    QCOMPARE(resolved(MenuBarTexts::pressureColors(MemorySnapshot::Pressure::normal)),
             roles({Theme::Role::green, Brand::teal()}));
    QCOMPARE(resolved(MenuBarTexts::pressureColors(MemorySnapshot::Pressure::warning)),
             roles({Theme::Role::yellow, Theme::Role::orange}));
    QCOMPARE(resolved(MenuBarTexts::pressureColors(MemorySnapshot::Pressure::critical)),
             roles({Theme::Role::orange, Theme::Role::red}));
  }

  void gaugesSurviveReadingsWithoutSize() {
    MemorySnapshot memory;
    memory.app = 5;
    QCOMPARE(MenuBarTexts::memoryGauge(memory).fraction, 5.0);
    QCOMPARE(MenuBarTexts::diskGauge(DiskUsage{0, 0}).fraction, 0.0);
    QCOMPARE(MenuBarTexts::memoryShare(300, std::nullopt), 300.0);
    QCOMPARE(MenuBarTexts::memoryShare(300, MemorySnapshot{.total = 1200}), 0.25);
  }

  void diskGaugeShowsFreeSpaceOfTheTotal() {
    const auto gauge = MenuBarTexts::diskGauge(DiskUsage{500'000'000'000, 31'740'000'000});
    QCOMPARE(gauge.title, Formats::bytes(31'740'000'000) + " free");
    QCOMPARE(gauge.value, "of " + Formats::bytes(500'000'000'000));
    QVERIFY(qAbs(gauge.fraction - 0.93652) < 1e-5);
    QCOMPARE(gauge.symbol, QStringLiteral("internaldrive"));
    QCOMPARE(resolved(gauge.colors), roles({Brand::blue(), Brand::violet()}));
  }

  void checkButtonTitleFollowsTheCheck() {
    QCOMPARE(MenuBarTexts::checkButtonTitle(false), QStringLiteral("Why Is My Computer Slow?"));
    QCOMPARE(MenuBarTexts::checkButtonTitle(true), QStringLiteral("Hide Check"));
  }
};

TIDRA_TEST_MAIN(MenuBarTextsTest)
#include "MenuBarTextsTest.moc"
