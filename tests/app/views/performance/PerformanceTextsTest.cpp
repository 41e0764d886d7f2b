#include "support/TestMain.h"
#include "views/Formats.h"
#include "views/performance/PerformanceTexts.h"

#include <QTest>

#include <unistd.h>

using namespace tidra;
using namespace std::chrono_literals;
namespace T = PerformanceTexts;

namespace {

constexpr std::int64_t GiB = 1024LL * 1024 * 1024;

DeveloperTool tool(DeveloperTool::Kind kind, int clients = 0, double cpu = 0) {
  DeveloperTool t;
  t.id = "7";
  t.kind = kind;
  t.title = "Vite";
  t.detail = "Serves web-app.";
  t.consequence = "Reloading the page stops working.";
  t.clients = clients;
  t.cpuPercent = cpu;
  return t;
}

ProcessGroup sampledGroup(std::vector<pid_t> pids, bool system = false, std::optional<std::string> bundle = std::nullopt) {
  ProcessGroup g;
  g.id = "node";
  g.name = "node";
  g.pids = std::move(pids);
  g.mainPID = g.pids.front();
  g.isSystemService = system;
  g.bundlePath = std::move(bundle);
  return g;
}

MemorySnapshot normal(std::int64_t total, std::int64_t compressed) {
  MemorySnapshot m;
  m.total = total;
  m.compressed = compressed;
  return m;
}

const T::Date sampleNow{std::chrono::seconds{1'800'000'000}};

}  // namespace

class PerformanceTextsTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

  void devServerBadge() {
    using K = DeveloperTool::Kind;
    struct Case {
      const char* name;
      DeveloperTool tool;
      std::optional<double> idle;
      std::optional<QString> text;
    };
    const std::vector<Case> cases{
        {"in use wins over idle", tool(K::devServer, 1), 7200, "In use"},
        {"exactly 30 minutes", tool(K::devServer), 1800, "Idle 30 minutes"},
        {"just under 30 minutes", tool(K::devServer), 1799.9, std::nullopt},
        {"no idle time known", tool(K::devServer), std::nullopt, std::nullopt},
        {"one hour", tool(K::devServer), 3600, "Idle 1 hour"},
        {"two hours", tool(K::devServer), 7200, "Idle 2 hours"},
        {"two days", tool(K::devServer), 172'800, "Idle 2 days"},
        {"build daemon never", tool(K::buildDaemon, 3), 7200, std::nullopt},
        {"language server never", tool(K::languageServer, 1), 7200, std::nullopt},
        {"emulator never", tool(K::emulator), 7200, std::nullopt},
        {"simulator never", tool(K::simulator), 7200, std::nullopt},
        {"containers never", tool(K::containers, 2), 7200, std::nullopt},
    };
    for (const auto& c : cases) {
      const auto badge = T::toolBadge(c.tool, c.idle);
      QVERIFY2(badge.has_value() == c.text.has_value(), c.name);
      if (badge) QCOMPARE(badge->text, *c.text);
    }
  }

  void adviceAtTheCompressionBoundary() {
    const std::int64_t total = 16 * GiB;
    const auto coping = QStringLiteral("The system is coping, but only by compressing ");
    const auto nothing = QStringLiteral("Nothing to do.");
    QVERIFY(T::advice(normal(1000, 200)).startsWith(coping));
    QVERIFY(T::advice(normal(1000, 199)).startsWith(nothing));
    // 16 GiB is not a multiple of five: a fifth rounded down is still short of it.
    QVERIFY(T::advice(normal(total, total / 5)).startsWith(nothing));
    QVERIFY(T::advice(normal(total, total / 5 + 1)).startsWith(coping));
    QVERIFY(T::advice(normal(total, 4 * GiB)).contains(Formats::memory(4 * GiB)));
    QVERIFY(T::advice(normal(INT64_MAX, INT64_MAX)).startsWith(coping));

    for (auto [pressure, start] : {std::pair{MemorySnapshot::Pressure::warning, "The system is compressing"},
                                   std::pair{MemorySnapshot::Pressure::critical, "The system is out of room"}}) {
      for (auto compressed : {std::int64_t{0}, total}) {
        auto m = normal(total, compressed);
        m.pressure = pressure;
        QVERIFY(T::advice(m).startsWith(QLatin1String(start)));
      }
    }
  }

  void memoryHeadlineAndBar() {
    MemorySnapshot m;
    m.total = 16 * GiB;
    m.app = 6 * GiB;
    m.wired = 2 * GiB;
    m.compressed = 1 * GiB;
    QCOMPARE(T::usedOfTotal(m), Formats::memory(9 * GiB) + " of " + Formats::memory(16 * GiB) + " in use");
    const auto shares = T::barShares(m);
    QCOMPARE(shares.app, 0.375);
    QCOMPARE(shares.wired, 0.125);
    QCOMPARE(shares.compressed, 0.0625);

    MemorySnapshot empty;
    empty.app = 5;
    QCOMPARE(T::barShares(empty).app, 5.0);
  }

  void processRows() {
    QCOMPARE(T::processCaption(sampledGroup({10})), "1 process");
    QCOMPARE(T::processCaption(sampledGroup({10, 11, 12})), "3 processes");
    QCOMPARE(T::processCaption(sampledGroup({10, 11}, true)), "Part of the system");
    QCOMPARE(T::processHelp(sampledGroup({10}, true)), "Part of the system. It is managed by the system.");
    QCOMPARE(T::processHelp(sampledGroup({10})), "node");
    QCOMPARE(T::cpuText(12.34), "12.3 %");
    QCOMPARE(T::cpuText(0), "0.0 %");

    QVERIFY(T::canQuit(sampledGroup({10, 11}), 99));
    QVERIFY(!T::canQuit(sampledGroup({10, 99}), 99));
    QVERIFY(!T::canQuit(sampledGroup({10}, true), 99));
    // The desktop session's own processes and this very program, as the slowness check has it.
    for (const char* name : {"dbus-daemon", "openbox", "dunst", "stalonetray", "gnome-shell"}) {
      ProcessGroup session = sampledGroup({10});
      session.id = session.name = name;
      QVERIFY2(!T::canQuit(session, 99), name);
    }
    QVERIFY(!T::canQuit(sampledGroup({10, ::getpid()}), 99));

    QCOMPARE(T::quitTitle(sampledGroup({10})), "Quit node?");
    QCOMPARE(T::quitMessage(sampledGroup({10})), "This ends the process. Anything it was doing stops.");
    QCOMPARE(T::quitMessage(sampledGroup({10, 11, 12})), "This ends all 3 processes. Anything it was doing stops.");
    QVERIFY(T::quitMessage(sampledGroup({10, 11}, false, "/opt/Code.app")).startsWith("The app gets a chance to save"));
    // Each process a quit ends is named, a long list cut short; controls that reorder text are written out.
    auto named = sampledGroup({10, 11, 12, 13, 14, 15, 16, 17});
    for (pid_t pid = 10; pid <= 17; ++pid) named.processes.push_back({pid, "node w.js", "~/code/web"});
    named.processes.front() = {10, "node \u202Egpj.js", std::nullopt};
    QCOMPARE(T::quitMessage(named), "This ends all 8 processes. Anything it was doing stops.\n"
                                    "• node \\u202Egpj.js\n• node w.js — in ~/code/web\n• node w.js — in ~/code/web\n"
                                    "• node w.js — in ~/code/web\n• node w.js — in ~/code/web\n"
                                    "• node w.js — in ~/code/web\n• and 2 more");
    ProcessGroup sessionMember = sampledGroup({10});
    sessionMember.isProtected = true;
    QVERIFY(!T::canQuit(sessionMember, 99));
  }

  void listStopsAtEightyAndScalesToTheFirst() {
    std::vector<ProcessGroup> groups;
    for (int i = 0; i < 81; ++i) {
      auto g = sampledGroup({100 + i});
      g.memoryBytes = 1000 - i;
      groups.push_back(g);
    }
    const auto listed = T::listedGroups(groups);
    QCOMPARE(listed.size(), std::size_t{80});
    QCOMPARE(listed.back().memoryBytes, 921);
    QCOMPARE(T::largest(listed), 1000.0);
    QCOMPARE(T::largest({}), 1.0);
    groups.front().memoryBytes = 0;
    QCOMPARE(T::largest(groups), 1.0);
  }

  void toolFigures() {
    auto t = tool(DeveloperTool::Kind::buildDaemon, 0, 123.456);
    QCOMPARE(T::toolCpu(t), "123.5 % CPU");
    t.cpuPercent = 0;
    QCOMPARE(T::toolCpu(t), "0.0 % CPU");
    QCOMPARE(T::toolDescription(t), "Serves web-app. Reloading the page stops working.");
    QCOMPARE(T::stopTitle(t), "Stop Vite?");

    QVERIFY(!T::startedText(t, sampleNow));
    t.started = sampleNow - 2h;
    QCOMPARE(*T::startedText(t, sampleNow), "started 2 hours ago");
    t.started = sampleNow - 26h;
    QCOMPARE(*T::startedText(t, sampleNow), "started yesterday");
  }

  void idleDaemonsAndTotal() {
    using K = DeveloperTool::Kind;
    auto busy = tool(K::buildDaemon, 0, 1.0);
    busy.memoryBytes = GiB;
    auto server = tool(K::devServer, 0, 0);
    server.memoryBytes = GiB;
    QVERIFY(!T::hasIdleBuildDaemon({busy, server}));
    QVERIFY(T::hasIdleBuildDaemon({busy, tool(K::buildDaemon, 0, 0.9)}));
    QCOMPARE(T::toolsTotal({busy, server}), Formats::memory(2 * GiB) + " in total");
  }

  void startupRows() {
    StartupItem item;
    item.label = "com.acme.updater";
    QCOMPARE(T::programLine(item, "/home/ann"), "No program listed");
    item.program = "/home/ann/bin/updater";
    QCOMPARE(T::programLine(item, "/home/ann"), "~/bin/updater");
    QCOMPARE(T::startsText(item), "Starts on demand");
    item.startsAutomatically = true;
    QCOMPARE(T::startsText(item), "Starts automatically");
    QCOMPARE(T::removeTitle(item), "Remove com.acme.updater?");

    StartupItem system = item;
    system.scope = StartupItem::Scope::system;
    QCOMPARE(T::itemsIn({system, item, system}, StartupItem::Scope::system).size(), std::size_t{2});
    QVERIFY(T::itemsIn({system}, StartupItem::Scope::allUsers).empty());
    QCOMPARE(T::scopeTitle(StartupItem::Scope::allUsers), "All users");
  }
};

TIDRA_TEST_MAIN(PerformanceTextsTest)
#include "PerformanceTextsTest.moc"
